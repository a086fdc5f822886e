How zeltool is called: help and version on every command, and wrong command
lines, which exit with 2 and one line on stderr saying what is wrong.

== Every command has --help and --version, both on stdout
  $ zeltool --version >version && cat version
  zeltool (zelgfx) [0-9]*.[0-9]*.[0-9]* (glob)
  The asset tool of the zel engine's graphics library; zlib licence.
  $ for command in '' 'bitmap import' 'bitmap export' 'bitmap info' 'palette import' 'palette export' \
  >     shade 'font build' 'font preview' aggregate; do
  >   zeltool $command --version >v && cmp v version && zeltool $command --help >help && head -n 1 help
  > done
  Usage: zeltool COMMAND ARGUMENTS...
  Usage: zeltool bitmap import IN OUT.zbm [--palette-out PAL | --remap PAL | --make-palette PAL] [options]
  Usage: zeltool bitmap export IN OUT.png [--palette PAL]
  Usage: zeltool bitmap info IN [--frame N]
  Usage: zeltool palette import IN OUT.pal
  Usage: zeltool palette export IN.pal OUT.(png|gpl|pal) [--preview SWATCH.png]
  Usage: zeltool shade PAL OUT_BASE [--haze R,G,B]
  Usage: zeltool font build IN OUT.fnt [--charset SET] [--size N] [--threshold T] [--cell WxH] [--first CODE]
  Usage: zeltool font preview IN.fnt OUT.png [--text "..."] [--charset SET] [--palette PAL]
  Usage: zeltool aggregate OUT.zbm IN1.zbm IN2.zbm ...

== Wrong command lines exit with 2 and one line naming the fault
The files named need not exist, except where the fault depends on what an
input is (a grid picture needs --cell, a BDF font takes no --first).
  $ convert -size 2x2 xc:black grid.png
  $ zeltool
  ! zeltool: expected a command (see zeltool --help)
  [2]
  $ zeltool frobnicate
  ! zeltool: unknown command 'frobnicate' (see zeltool --help)
  [2]
  $ zeltool bitmap
  ! zeltool bitmap: expected import, export or info (see zeltool bitmap --help)
  [2]
  $ zeltool bitmap convert a b
  ! zeltool bitmap: expected import, export or info, not 'convert' (see zeltool bitmap --help)
  [2]
  $ zeltool bitmap import a.png
  ! zeltool bitmap import: missing arguments: expected IN OUT.zbm [--palette-out PAL | --remap PAL | --make-palette PAL] [options] (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a.png b.zbm c
  ! zeltool bitmap import: too many arguments: 'c' (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a.png b.zbm --colour 3
  ! zeltool bitmap import: unknown option --colour (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a.png b.zbm --palette
  ! zeltool bitmap import: --palette needs a value (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a.png b.zbm --origin x,2
  ! zeltool bitmap import: --origin expects two whole numbers X,Y, not 'x' (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a b --remap p --palette p
  ! zeltool bitmap import: --remap and --palette are the same option; give one (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a b --remap p --make-palette q
  ! zeltool bitmap import: give one of --palette-out, --remap (--palette) and --make-palette (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a b --make-palette q --dither ordered
  ! zeltool bitmap import: --dither expects fs or none, not 'ordered' (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a b --reserve 8
  ! zeltool bitmap import: --reserve and --base apply to --make-palette (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a b --make-palette q --reserve 0
  ! zeltool bitmap import: --reserve expects a number from 1 to 255, not '0' (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a b --dither none
  ! zeltool bitmap import: --dither applies when colours are mapped (--remap, --palette or --make-palette) (see zeltool bitmap import --help)
  [2]
  $ zeltool bitmap import a b --frame -1
  ! zeltool bitmap import: --frame expects a number from 0 to 1048576, not '-1' (see zeltool bitmap import --help)
  [2]
  $ zeltool shade a.pal out --haze 1,2
  ! zeltool shade: --haze expects a colour R,G,B of three numbers 0 to 255, not '1,2' (see zeltool shade --help)
  [2]
  $ zeltool aggregate out.zbm
  ! zeltool aggregate: missing arguments: expected OUT.zbm IN1.zbm IN2.zbm ... (see zeltool aggregate --help)
  [2]
  $ zeltool palette export a.pal b.txt
  ! zeltool palette export: OUT must end in .png, .gpl or .pal, not 'b.txt' (see zeltool palette export --help)
  [2]
  $ zeltool font build grid.png out.fnt
  ! zeltool font build: grid.png is a picture: give --cell WxH for its grid (see zeltool font build --help)
  [2]
  $ zeltool font build grid.png out.fnt --cell 0x3
  ! zeltool font build: --cell sides must be from 1 to 1024, not '0x3' (see zeltool font build --help)
  [2]
  $ zeltool font build tiny.bdf out.fnt --first 65
  ! zeltool font build: --first applies to grid pictures, and tiny.bdf is not a picture (see zeltool font build --help)
  [2]
  $ zeltool font build tiny.bdf out.fnt --threshold 0
  ! zeltool font build: --threshold expects a number from 1 to 255, not '0' (see zeltool font build --help)
  [2]
  $ zeltool font build tiny.bdf out.fnt --charset cp850
  ! zeltool font build: --charset expects latin1, cp437, cp1252 or a list file, not 'cp850' (see zeltool font build --help)
  [2]
  $ zeltool font build /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf out.fnt
  ! zeltool font build: an outline font needs --size N, its height in pixels (see zeltool font build --help)
  [2]
  $ zeltool font preview tiny.fnt out.png --text "$(printf '\377')"
  ! zeltool font preview: --text is not UTF-8 (byte 1) (see zeltool font preview --help)
  [2]
  $ zeltool font preview a.fnt
  ! zeltool font preview: missing arguments: expected IN.fnt OUT.png [--text "..."] [--charset SET] [--palette PAL] (see zeltool font preview --help)
  [2]
  $ ls
  grid.png
  tiny.bdf
  v1.psf
  v2.psf
