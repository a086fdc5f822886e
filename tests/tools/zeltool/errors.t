Files zeltool cannot use: each is refused with exit status 1 and one line
naming the file and what is wrong with it, and no output is written. And
how outputs are written: whole, through links, never over devices, folders
or the inputs.

== Bad files fail with one line naming the file and the limits
  $ : >empty
  $ echo 'this is not what you think it is' >text
  $ testpal >good.pal
  $ bytes >good.zbm <<END
  > 04000000 03000000 00000000 00000000 00000000 030303030303030303030303
  > END
  $ zeltool bitmap export good.zbm good.png --palette good.pal
  $ for f in good.png good.zbm good.pal tiny.bdf v2.psf; do head -c $(($(wc -c <$f) / 2)) $f >half-$f; done
  $ printf 'GIF89a\1\0' >gif-header
  $ printf '\377\330\377\340' >jpeg-header
  $ { printf '\n\5\1\10'; head -c 61 /dev/zero; printf '\1'; head -c 62 /dev/zero; } >pcx-header
  $ printf 'GIF89a\377\377\377\377\0\0\0' >huge-gif
  $ printf '0x300 U+41\n' >code-300.txt
  $ printf '65 AB\n' >two-characters.txt
  $ zeltool bitmap import empty out.zbm
  ! zeltool: empty: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ zeltool bitmap import half-good.png out.zbm
  ! zeltool: half-good.png: bad PNG: the file ends early
  [1]
  $ zeltool bitmap import text out.zbm
  ! zeltool: text: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ zeltool bitmap import good.pal out.zbm
  ! zeltool: good.pal: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ zeltool bitmap import gif-header out.zbm
  ! zeltool: gif-header: bad GIF: No screen descriptor detected
  [1]
  $ zeltool bitmap import jpeg-header out.zbm
  ! zeltool: jpeg-header: bad JPEG: JPEG datastream contains no image
  [1]
  $ zeltool bitmap import pcx-header out.zbm
  ! zeltool: pcx-header: the PCX file ends before its colour table
  [1]
  $ zeltool bitmap import huge-gif out.zbm
  ! zeltool: huge-gif: is a GIF of 65535 x 65535 pixels, more than the 67,108,864 pixels this tool takes
  [1]
  $ zeltool bitmap export empty out.png
  ! zeltool: empty: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ zeltool bitmap export half-good.zbm out.png
  ! zeltool: half-good.zbm: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ zeltool bitmap export text out.png
  ! zeltool: text: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ zeltool bitmap info empty
  ! zeltool: empty: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ zeltool bitmap info half-good.png
  ! zeltool: half-good.png: bad PNG: the file ends early
  [1]
  $ zeltool bitmap info text
  ! zeltool: text: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ zeltool bitmap info huge-gif
  ! zeltool: huge-gif: is a GIF of 65535 x 65535 pixels, more than the 67,108,864 pixels this tool takes
  [1]
  $ zeltool bitmap info nosuch.zbm
  ! zeltool: nosuch.zbm: No such file or directory
  [1]
  $ zeltool palette import empty out.pal
  ! zeltool: empty: not a PNG, GIMP or JASC palette, nor a raw palette of 768 bytes
  [1]
  $ zeltool palette import text out.pal
  ! zeltool: text: not a PNG, GIMP or JASC palette, nor a raw palette of 768 bytes
  [1]
  $ printf 'GIF\n' >gif-word
  $ zeltool palette import gif-word out.pal
  ! zeltool: gif-word: not a PNG, GIMP or JASC palette, nor a raw palette of 768 bytes
  [1]
  $ printf 'JASC-PAL\n0100\n3\n1 2 3\n' >short-jasc
  $ zeltool palette import short-jasc out.pal
  ! zeltool: short-jasc: lists 1 colours but says it has 3
  [1]
  $ zeltool shade empty out
  ! zeltool: empty: is 0 bytes; a palette file holds 768
  [1]
  $ zeltool shade half-good.pal out
  ! zeltool: half-good.pal: is 384 bytes; a palette file holds 768
  [1]
  $ zeltool shade text out
  ! zeltool: text: is 33 bytes; a palette file holds 768
  [1]
  $ zeltool font build empty out.fnt
  ! zeltool: empty: not a font this tool reads (BDF, PCF, PCF.gz, TrueType, OpenType, PSF, or a picture of a glyph grid)
  [1]
  $ zeltool font build half-tiny.bdf out.fnt
  ! zeltool: half-tiny.bdf: not a font this tool reads (BDF, PCF, PCF.gz, TrueType, OpenType, PSF, or a picture of a glyph grid)
  [1]
  $ zeltool font build text out.fnt
  ! zeltool: text: not a font this tool reads (BDF, PCF, PCF.gz, TrueType, OpenType, PSF, or a picture of a glyph grid)
  [1]
  $ zeltool font build half-v2.psf out.fnt
  ! zeltool: half-v2.psf: the PSF file ends inside its header
  [1]
  $ zeltool font build tiny.bdf out.fnt --charset code-300.txt
  ! zeltool: code-300.txt: line 1: '0x300' is not a code from 1 to 255
  [1]
  $ zeltool font build tiny.bdf out.fnt --charset two-characters.txt
  ! zeltool: two-characters.txt: line 1: 'AB' is not one character (U+HHHH or the character itself)
  [1]
  $ zeltool font preview empty out.png
  ! zeltool: empty: not a font file: shorter than its 260-byte head
  [1]
  $ zeltool font preview text out.png
  ! zeltool: text: not a font file: shorter than its 260-byte head
  [1]
  $ zeltool font preview good.pal out.png
  ! zeltool: good.pal: not a font file: it claims 16842496 glyphs, at most 256 fit
  [1]
  $ zeltool aggregate out.zbm good.zbm empty
  ! zeltool: empty: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ zeltool aggregate out.zbm good.zbm text
  ! zeltool: text: not a picture this tool reads (PNG, BMP, GIF, JPEG, TGA, PCX or an engine bitmap)
  [1]
  $ ls
  code-300.txt
  empty
  gif-header
  gif-word
  good.pal
  good.png
  good.zbm
  half-good.pal
  half-good.png
  half-good.zbm
  half-tiny.bdf
  half-v2.psf
  huge-gif
  jpeg-header
  pcx-header
  short-jasc
  text
  tiny.bdf
  two-characters.txt
  v1.psf
  v2.psf

== Writes go through links and keep the permissions of the file they replace
  $ testpal >test.pal
  $ bytes >one.zbm <<END
  > 01000000 01000000 00000000 00000000 00000000 07
  > END
  $ zeltool bitmap export one.zbm in.png --palette test.pal
  $ mkdir folder && ln -s folder/target.zbm link.zbm
  $ zeltool bitmap import in.png link.zbm
  ! zeltool: kept the indices of in.png; its own palette (256 colours) is not written: --palette-out FILE writes it, --remap PAL maps the picture onto PAL
  $ test -L link.zbm && zelload folder/target.zbm
  1 x 1, origin 0,0
     7
  $ chmod 600 folder/target.zbm
  $ zeltool bitmap import in.png link.zbm --origin 1,1
  ! zeltool: kept the indices of in.png; its own palette (256 colours) is not written: --palette-out FILE writes it, --remap PAL maps the picture onto PAL
  $ test -L link.zbm && stat -c %a folder/target.zbm && zelload folder/target.zbm
  600
  1 x 1, origin 1,1
     7

== Outputs that are devices, folders or inputs are refused, and then nothing is written
  $ convert -size 1x1 xc:red png8:in.png
  $ mkdir folder && ln -s /dev/null null.zbm && ln in.png linked.png && cp in.png before.png
  $ zeltool bitmap import in.png /dev/null
  ! zeltool: /dev/null: is a device; refusing to write over it
  [1]
  $ zeltool bitmap import in.png null.zbm
  ! zeltool: null.zbm: is a device (through the link to /dev/null); refusing to write over it
  [1]
  $ zeltool bitmap import in.png folder
  ! zeltool: folder: is a directory; refusing to write over it
  [1]
  $ zeltool bitmap import in.png ok.zbm --palette-out folder
  ! zeltool: folder: is a directory; refusing to write over it
  [1]
  $ zeltool bitmap import in.png in.png
  ! zeltool: in.png: is also an input (in.png); refusing to overwrite it
  [1]
  $ zeltool bitmap import in.png linked.png
  ! zeltool: linked.png: is also an input (in.png); refusing to overwrite it
  [1]
  $ zeltool bitmap import in.png twice.zbm --palette-out ./twice.zbm
  ! zeltool: ./twice.zbm: is named for two outputs of one command; refusing to write either
  [1]
  $ zeltool bitmap export in.png ./in.png
  ! zeltool: ./in.png: is also an input (in.png); refusing to overwrite it
  [1]
  $ zeltool font build in.png ./in.png --cell 1x1
  ! zeltool: ./in.png: is also an input (in.png); refusing to overwrite it
  [1]
  $ ls
  before.png
  folder
  in.png
  linked.png
  null.zbm
  tiny.bdf
  v1.psf
  v2.psf
  $ test -c /dev/null && cmp in.png before.png
