Palettes in and out of other programs' formats, and shade tables.

== Palettes go out to GIMP, JASC and PNG and come back the same
  $ testpal >test.pal
  $ zeltool palette export test.pal other.gpl --preview swatch.png
  $ zeltool palette import other.gpl back.pal
  $ cmp back.pal test.pal
  $ zeltool palette export test.pal other.pal
  $ zeltool palette import other.pal back.pal
  $ cmp back.pal test.pal
  $ zeltool palette export test.pal other.png
  $ zeltool palette import other.png back.pal
  $ cmp back.pal test.pal
  $ head -n 3 other.gpl; head -n 4 other.pal | cat -v
  GIMP Palette
  Name: other
  Columns: 16
  JASC-PAL^M
  0100^M
  256^M
  0 255 0^M
The swatch shows entry i as a square of 16 x 16 pixels at column i mod 16,
row i / 16.
  $ testpal | convert -size 16x16 -depth 8 rgb:- -scale 1600% squares.png
  $ compare -metric AE swatch.png squares.png null:
  ! 0

== A short GIMP palette fills the rest with black; a bad line is named
  $ printf 'GIMP Palette\nName: few\n# comment\n255 0 0 red\n  0 128 255\tsky\n' >few.gpl
  $ zeltool palette import few.gpl a.pal
  $ xxd -a a.pal
  00000000: ff00 0000 80ff 0000 0000 0000 0000 0000  ................
  00000010: 0000 0000 0000 0000 0000 0000 0000 0000  ................
  *
  000002f0: 0000 0000 0000 0000 0000 0000 0000 0000  ................
  $ printf 'GIMP Palette\n1 2 3\n4 five 6\n' >bad.gpl
  $ zeltool palette import bad.gpl c.pal
  ! zeltool: bad.gpl: line 3: expected three numbers from 0 to 255 (red green blue)
  [1]

== Shade tables: the standard palette's are the standard ones, and haze changes only the dark table
  $ cp $ZELSTD/standard.pal .
  $ zeltool shade standard.pal std
  ! zeltool: computing the shade tables of standard.pal
  $ cmp std.DRK $ZELSTD/standard.DRK && cmp std.LHT $ZELSTD/standard.LHT
  $ testpal >night.pal
  $ zeltool shade night.pal night.pal
  ! zeltool: computing the shade tables of night.pal
  $ zeltool shade night.pal fog --haze 90,100,110
  ! zeltool: computing the shade tables of night.pal
  $ ls
  fog.DRK
  fog.LHT
  night.DRK
  night.LHT
  night.pal
  standard.pal
  std.DRK
  std.LHT
  tiny.bdf
  v1.psf
  v2.psf
  $ cmp fog.LHT night.LHT
The 64 levels of colour 255 and colour 1, toward the haze.
  $ od -An -tu1 -w16 -j $((255 * 64)) -N 64 fog.DRK
   255 248 248 248 241 241 241 241 234 234 234 227 227 227 227 220
   220 220 213 213 213 212 212 212 205 205 205 198 198 198 198 191
   191 191 184 184 184 184 177 177 177 170 170 170 163 163 163 163
   156 156 156 149 149 149 149 142 142 142 135 135 135 128 128 134
  $ od -An -tu1 -w16 -j 64 -N 64 fog.DRK
     1   8   8   8  15  15  15  15  22  22  22  29  29  29  36  36
    36  36  43  43  43  50  50  50  50  57  57  57  64  64  64  71
    71  71  71  78  78  78  85  85  85  85  92  92  92  99  99  99
   106 106 106 106 113 113 113 120 120 120 120 127 127 127 134 134
The whole tables' checksums, as a separate computation of the same rule
(each colour mixed toward the target, then the nearest entry) gave them.
  $ md5sum fog.DRK fog.LHT
  bb898341280017eb320b6bfad5737d84  fog.DRK
  1098246d2281039c841d12655813ac1a  fog.LHT
