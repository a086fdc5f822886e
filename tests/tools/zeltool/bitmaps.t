Engine bitmaps from pictures and back: kept indices, BMP rows, mapping
without dithering, and strips of frames. An engine bitmap is a header of
20 bytes (width, height, origin x and y as 32-bit little-endian numbers, 4
zero bytes), then its pixels, rows top first. zelload shows one as the
library loads it.

== An indexed PNG keeps its indices and palette, takes the origin given, and exports back the same
The PNG is made by zeltool from a bitmap of 5 x 3 in the test palette, and
checked by ImageMagick against the palette's colours.
  $ testpal >test.pal
  $ bytes >src.zbm <<END
  > 05000000 03000000 00000000 00000000 00000000  # 5 x 3, origin 0,0
  > 00 01 02 ff 80  07 07 00 c8 03  01 fe 09 0a 0b
  > END
  $ zeltool bitmap export src.zbm in.png --palette test.pal
  $ testpal 0 1 2 255 128 7 7 0 200 3 1 254 9 10 11 | convert -size 5x3 -depth 8 rgb:- colours.png
  $ compare -metric AE in.png colours.png null:
  ! 0
  $ zeltool bitmap import in.png sprite.zbm --origin 2,-1 --palette-out own.pal
  ! zeltool: kept the indices of in.png and wrote its palette of 256 colours to own.pal
  $ cmp own.pal test.pal
  $ zelload sprite.zbm
  5 x 3, origin 2,-1
     0   1   2 255 128
     7   7   0 200   3
     1 254   9  10  11
  $ zeltool bitmap export sprite.zbm out.png --palette own.pal
  $ cmp out.png in.png
Without a palette, export writes a grey ramp: index v is (v, v, v).
  $ zeltool bitmap export sprite.zbm grey.png
  $ convert grey.png -depth 8 rgb:- | od -An -tu1 -w15
     0   0   0   1   1   1   2   2   2 255 255 255 128 128 128
     7   7   7   7   7   7   0   0   0 200 200 200   3   3   3
     1   1   1 254 254 254   9   9   9  10  10  10  11  11  11
Without --palette-out the palette is not written, and zeltool says so.
  $ zeltool bitmap import in.png again.zbm
  ! zeltool: kept the indices of in.png; its own palette (256 colours) is not written: --palette-out FILE writes it, --remap PAL maps the picture onto PAL
  $ ls *.pal
  own.pal
  test.pal

== BMP rows come bottom first, padded to 4 bytes, and run-length codes unpack
  $ bytes >in.bmp <<END
  > 424d 4e000000 00000000 46000000  # 78 bytes, the pixels at 70
  > 28000000 03000000 02000000 0100 0800 00000000  # 3 x 2, 8 bits, not compressed
  > 00000000 00000000 00000000 04000000 00000000  # 4 colours
  > 00000000 0000ff00 00ff0000 1e140a00  # black, red, green, (10, 20, 30) as blue green red 0
  > 030001 00  010203 00  # the rows 3 0 1 and 1 2 3, each padded to 4 bytes
  > END
  $ zeltool bitmap import in.bmp out.zbm
  ! zeltool: kept the indices of in.bmp; its own palette (4 colours) is not written: --palette-out FILE writes it, --remap PAL maps the picture onto PAL
  $ zelload out.zbm
  3 x 2, origin 0,0
     1   2   3
     3   0   1
  $ zeltool bitmap info in.bmp
  in.bmp: BMP, indexed, 4 colours
  width: 3
  height: 2
  origin: 0,0
  file bytes: 78
  engine bitmap bytes: 26
  BMP 3.0 bytes: 1086
  $ zeltool bitmap export in.bmp out.png
  $ convert out.png -depth 8 rgb:- | od -An -tu1 -w9
   255   0   0   0 255   0  10  20  30
    10  20  30   0   0   0 255   0   0
RLE4, 5 x 2. The bottom row: a run of 5 alternating 1 and 2. The top row: 3
literal pixels, a move right by 1, a run of one 7, then the end.
  $ bytes >rle.bmp <<END
  > 424d 86000000 00000000 76000000  # 134 bytes, the pixels at 118
  > 28000000 05000000 02000000 0100 0400 02000000  # 5 x 2, 4 bits, RLE4
  > 00000000 00000000 00000000 10000000 00000000  # 16 colours, all (9, 9, 9)
  > 09090900 09090900 09090900 09090900 09090900 09090900 09090900 09090900
  > 09090900 09090900 09090900 09090900 09090900 09090900 09090900 09090900
  > 0512 0000  0003 3450  0002 0100  0170 0001
  > END
  $ zeltool bitmap import rle.bmp rle.zbm
  ! zeltool: kept the indices of rle.bmp; its own palette (16 colours) is not written: --palette-out FILE writes it, --remap PAL maps the picture onto PAL
  $ zelload rle.zbm
  5 x 2, origin 0,0
     3   4   5   0   7
     1   2   1   2   1
A file cut inside the codes is refused.
  $ head -c 127 rle.bmp >cut.bmp
  $ zeltool bitmap import cut.bmp cut.zbm
  ! zeltool: cut.bmp: the BMP file ends inside its run-length coded pixels
  [1]

== Mapping without dithering takes the nearest visible entry; transparent pixels become 0
Entry 0 of the palette is (250, 250, 250), which no visible pixel may take.
  $ { printf '\372\372\372'; testpal | tail -c +4; } >p.pal
  $ bytes <<END | convert -size 2x2 -depth 8 rgba:- png32:in.png
  > 11ee75 ff  # entry 17, opaque
  > 29d7c8 80  # near entry 40 (red 41, not 40), half transparent
  > fafafa ff  # entry 0's colour, opaque
  > 010203 00  # transparent
  > END
  $ zeltool bitmap import in.png out.zbm --palette p.pal --dither none
  ! zeltool: mapped the colours of in.png onto p.pal, nearest colour, no dithering: PSNR 12.66 dB over 3 pixels
  $ zelload out.zbm
  2 x 2, origin 0,0
    17  40
   103   0
Entry 103, (103, 152, 227), is the visible entry nearest (250, 250, 250).
A true-colour picture needs a palette to map onto.
  $ zeltool bitmap import in.png out2.zbm
  ! zeltool: in.png: is a true-colour picture; give --palette PAL to map its colours onto a palette, or --make-palette OUT.pal to make one
  [1]

== Aggregate stacks frames of one width and names the frame of another
  $ bytes >a.zbm <<END
  > 03000000 02000000 01000000 04000000 00000000 010203 040506  # 3 x 2, origin 1,4
  > END
  $ bytes >b.zbm <<END
  > 03000000 01000000 09000000 09000000 00000000 070809  # 3 x 1, origin 9,9
  > END
  $ bytes >wide.zbm <<END
  > 04000000 01000000 00000000 00000000 00000000 01010101  # 4 x 1
  > END
The strip takes the origin of the first frame.
  $ zeltool aggregate strip.zbm a.zbm b.zbm
  $ xxd strip.zbm
  00000000: 0300 0000 0300 0000 0100 0000 0400 0000  ................
  00000010: 0000 0000 0102 0304 0506 0708 09         .............
  $ zeltool aggregate bad.zbm a.zbm wide.zbm
  ! zeltool: wide.zbm: is 4 pixels wide, but the first frame (a.zbm) is 3
  [1]
  $ ls *.zbm
  a.zbm
  b.zbm
  strip.zbm
  wide.zbm
