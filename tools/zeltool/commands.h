// The subcommands of zeltool, each defined with its help text beside its code.
#pragma once

#include "tools/zeltool/cli.h"

namespace zeltool {

extern const Command BitmapImport;
extern const Command BitmapExport;
extern const Command BitmapInfo;
extern const Command PaletteImport;
extern const Command PaletteExport;
extern const Command ShadeCommand;
extern const Command FontBuild;
extern const Command FontPreview;
extern const Command AggregateCommand;

}  // namespace zeltool
