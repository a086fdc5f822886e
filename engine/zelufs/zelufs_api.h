// The export macro of the file-system library, for the classes compiled into
// it: the file system itself and the file classes it hands out.
#pragma once

#define ZELUFS_API __attribute__((visibility("default")))
