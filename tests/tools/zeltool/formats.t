Pictures of every format, made by ImageMagick, imported by zeltool and
checked against ImageMagick's own reading of them: the bitmap's colours
through its palette, exported as PNG, against the picture, as the largest
difference of one channel (compare's PAE: 257 is one step of 8 bits).

== Indexed pictures keep their indices and palette
  $ photo='-seed 7 -size 13x7 plasma:fractal -colors 100'
  > convert -size 8x6 xc:red -colors 2 BMP3:1bit.bmp
  > convert -size 8x6 gradient:red-blue -colors 16 BMP3:4bit.bmp
  > convert $photo -type Palette -compress RLE BMP3:rle8.bmp
  > convert $photo -colors 16 BMP2:os2.bmp
  > convert $photo photo.gif
  > convert $photo png8:p8.png
  > convert $photo -type Palette -orient TopLeft map.tga
  > convert $photo -type Palette -orient TopLeft -compress RLE maprle.tga
  > convert $photo -type Palette p8.pcx
  $ for f in 1bit.bmp 4bit.bmp rle8.bmp os2.bmp photo.gif p8.png map.tga maprle.tga p8.pcx; do
  >   zeltool bitmap import $f out.zbm --palette-out p.pal 2>&1 && zeltool bitmap export out.zbm out.png --palette p.pal &&
  >   echo "$f: $(compare -metric PAE $f out.png null: 2>&1)"
  > done
  zeltool: kept the indices of 1bit.bmp and wrote its palette of 2 colours to p.pal
  1bit.bmp: 0 (0)
  zeltool: kept the indices of 4bit.bmp and wrote its palette of 16 colours to p.pal
  4bit.bmp: 0 (0)
  zeltool: kept the indices of rle8.bmp and wrote its palette of 256 colours to p.pal
  rle8.bmp: 0 (0)
  zeltool: kept the indices of os2.bmp and wrote its palette of 16 colours to p.pal
  os2.bmp: 0 (0)
  zeltool: kept the indices of photo.gif and wrote its palette of 128 colours to p.pal
  photo.gif: 0 (0)
  zeltool: kept the indices of p8.png and wrote its palette of 91 colours to p.pal
  p8.png: 0 (0)
  zeltool: kept the indices of map.tga and wrote its palette of 91 colours to p.pal
  map.tga: 0 (0)
  zeltool: kept the indices of maprle.tga and wrote its palette of 91 colours to p.pal
  maprle.tga: 0 (0)
  zeltool: kept the indices of p8.pcx and wrote its palette of 256 colours to p.pal
  p8.pcx: 0 (0)

== True-colour pictures get a palette of their exact colours
ImageMagick 6.9 writes TGA rows top first under a header that says bottom
first (and reads them back the same way): -orient TopLeft makes the header
say top first, as the rows are.
  $ ramp='-size 8x6 gradient:red-blue'
  > convert $ramp -type TrueColor png24:t.png
  > convert $ramp -depth 16 -interlace PNG png48:t16.png
  > convert $ramp -type Grayscale png:g.png
  > convert $ramp -type TrueColor BMP3:t24.bmp
  > convert $ramp -alpha on -channel A -evaluate set 50% +channel BMP:a32.bmp
  > convert $ramp -type TrueColor -orient TopLeft t.tga
  > convert $ramp -type TrueColor -orient TopLeft -compress RLE trle.tga
  > convert $ramp -type TrueColor t.pcx
  > convert $ramp -quality 90 t.jpg
  > convert $ramp -colorspace Gray g.jpg
  > convert $ramp -interlace Plane progressive.jpg
  > convert $ramp -colorspace CMYK cmyk.jpg
  $ for f in t.png t16.png g.png t24.bmp a32.bmp t.tga trle.tga t.pcx t.jpg g.jpg progressive.jpg cmyk.jpg; do
  >   zeltool bitmap import $f out.zbm --make-palette p.pal --dither none 2>&1 &&
  >   zeltool bitmap export out.zbm out.png --palette p.pal && convert $f -alpha off -depth 8 ref.png &&
  >   echo "$f: $(compare -metric PAE ref.png out.png null: 2>&1)"
  > done
  zeltool: made a palette of 6 colours for t.png in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  t.png: 0 (0)
  zeltool: made a palette of 6 colours for t16.png in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  t16.png: 0 (0)
  zeltool: made a palette of 6 colours for g.png in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  g.png: 257 (0.00392157)
  zeltool: made a palette of 6 colours for t24.bmp in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  t24.bmp: 0 (0)
  zeltool: made a palette of 6 colours for a32.bmp in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  a32.bmp: 0 (0)
  zeltool: made a palette of 6 colours for t.tga in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  t.tga: 0 (0)
  zeltool: made a palette of 6 colours for trle.tga in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  trle.tga: 0 (0)
  zeltool: made a palette of 6 colours for t.pcx in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  t.pcx: 0 (0)
  zeltool: made a palette of 6 colours for t.jpg in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  t.jpg: 0 (0)
  zeltool: made a palette of 6 colours for g.jpg in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  g.jpg: 0 (0)
  zeltool: made a palette of 6 colours for progressive.jpg in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  progressive.jpg: 0 (0)
  zeltool: made a palette of 6 colours for cmyk.jpg in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  cmyk.jpg: 0 (0)

== GIF frames are composed as the animation shows them
  $ convert -size 6x6 xc:red \( -size 2x2 xc:blue -repage +1+1 \) -loop 0 anim.gif
  $ zeltool bitmap import anim.gif f1.zbm --frame 1 --make-palette p.pal --dither none
  ! zeltool: made a palette of 2 colours for anim.gif in p.pal (4 entries reserved), nearest colour, no dithering: exact (PSNR infinite)
  $ zeltool bitmap export f1.zbm f1.png --palette p.pal
  $ convert -size 6x6 xc:red -fill blue -draw 'rectangle 1,1 2,2' shown.png
  $ compare -metric AE f1.png shown.png null:
  ! 0
  $ zeltool bitmap import anim.gif f2.zbm --frame 2
  ! zeltool: anim.gif: has 2 frames; there is no frame 2 (frames count from 0)
  [1]

== A GIF's transparent pixels become index 0 when mapped
Red maps to entry 41, the standard palette's nearest to red.
  $ cp $ZELSTD/standard.pal .
  $ convert -size 4x1 xc:red -fill none -draw 'color 1,0 point' clear.gif
  $ zeltool bitmap import clear.gif clear.zbm --remap standard.pal --dither none
  ! zeltool: remapped the colours of clear.gif onto standard.pal, nearest colour, no dithering: PSNR 17.71 dB over 3 pixels
  $ zelload clear.zbm
  4 x 1, origin 0,0
    41   0  41  41
  $ od -An -tu1 -j $((41 * 3)) -N 3 standard.pal
   220  36  28

== A made palette keeps the reserved entries, and a smooth gradient scores over 30 dB
  $ convert -size 256x256 xc: -sparse-color Bilinear '0,0 red 255,0 yellow 0,255 blue 255,255 white' grad.png
  $ zeltool bitmap import grad.png grad.zbm --make-palette grad.pal
  ! zeltool: made a palette of 252 colours for grad.png in grad.pal (4 entries reserved), Floyd-Steinberg dithering: PSNR 3[0-9].[0-9][0-9] dB over 65,536 pixels (glob)
Entries 0, 8, 24 and 31 are the standard palette's; no visible pixel is 0.
  $ for i in 0 8 24 31; do cmp -n 3 -i $((3 * i)) grad.pal $ZELSTD/standard.pal; done
  $ tail -c +21 grad.zbm | tr -d '\000' | wc -c
  65536
With no entry reserved but 0, entry 8 takes a colour of the picture.
  $ zeltool bitmap import grad.png plain.zbm --make-palette plain.pal --dither none --reserve none
  ! zeltool: made a palette of 255 colours for grad.png in plain.pal (entry 0 reserved), nearest colour, no dithering: PSNR 35.17 dB over 65,536 pixels
  $ cmp -s -n 3 -i 24 plain.pal grad.pal || echo entry 8 differs
  entry 8 differs
  $ cmp -s plain.zbm grad.zbm || echo the pixels differ
  the pixels differ
