#!/bin/sh
# Makes the "Showcase" image set: a set that uses every part of the set
# format, built from the photos of Debian's mate-backgrounds package with
# ImageMagick and skyloom-mkset. Nothing it makes is kept in the repository.
#
#   tools/showcase/make-showcase.sh MKSET PROGRAM_DIR [PHOTOS_DIR]
#
# MKSET is the skyloom-mkset program; the set goes to PROGRAM_DIR/Showcase/
# and is registered there. PHOTOS_DIR defaults to
# /usr/share/backgrounds/mate/nature.
#
# What the set holds:
#   - a title page (company.ini [TitlePage]), drawn here;
#   - a horizontal and a vertical panorama, cropped from the photos;
#   - descriptions in all five languages (Japanese in UTF-8), one of them
#     read from another file through a "[French] File=" redirect;
#   - set-wide layers for the saver ([LayerSS], two logos in turn) and the
#     wallpaper ([LayerWP]), and a per-picture layer, all drawn here;
#   - web links for the company, the set, the saver and single pictures;
#   - credits in the version-1 layout (with photo.nfo) and the version-2
#     layout;
#   - company and About texts with an About picture.
set -eu

if [ $# -lt 2 ]; then
    echo "usage: $0 MKSET PROGRAM_DIR [PHOTOS_DIR]" >&2
    exit 2
fi
mkset=$1
prog=${2%/}
photos=${3:-/usr/share/backgrounds/mate/nature}
set_dir="$prog/Showcase"

for f in Aqua Dune LadyBird Storm TwoWings YellowFlower; do
    if [ ! -f "$photos/$f.jpg" ]; then
        echo "$0: $photos/$f.jpg is missing (package mate-backgrounds)" >&2
        exit 1
    fi
done
command -v convert >/dev/null 2>&1 || {
    echo "$0: ImageMagick's convert is needed (package imagemagick)" >&2
    exit 1
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage="$work/pictures"
mkdir -p "$stage"

# The photos as they are, and two panoramas cut from them: a 3:1 strip of
# the storm and a 1:2.5 column of the wings.
for f in Aqua Dune LadyBird YellowFlower; do
    cp "$photos/$f.jpg" "$stage/$f.jpg"
done
convert "$photos/Storm.jpg" -gravity center -crop 1920x640+0+0 +repage -quality 90 \
    "$stage/StormPanorama.jpg"
convert "$photos/TwoWings.jpg" -gravity center -crop 640x1600+0+0 +repage -quality 90 \
    "$stage/WingsTower.jpg"

# Company, About, web links, title page and set-wide layers.
cat >"$work/company.ini" <<'INI'
[TitlePage]
file=title.jpg
time=8
userControl=1

[WebLinker]
webButton=Visit Skyloom
CompanyURL=https://example.org/skyloom
setURL=https://example.org/skyloom/showcase
SSURL=https://example.org/skyloom/saver
WebLinker=1
SSWebLinker=1

[Company]
Introduction=The Showcase set shows everything an image set can carry: a title page, panoramas, texts in five languages, layers, web links and credits.
Company Name=Skyloom Demo Pictures
Street Address=1 Example Street
City State Zip=Sampleton, EX 12345
Phone=+1 555 0100
webButton=Skyloom on the web
Web Site=https://example.org/skyloom

[About]
aboutTab=about.bmp
supportURL=https://example.org/skyloom/support
supportPhone=+1 555 0199

[LayerSS]
layerImage=logo.bmp,logo-small.bmp
layerTranslucency=40,60
layerFrequency=2

[LayerWP]
layerImage=logo.bmp
layerTranslucency=30
INI

"$mkset" "$stage" --name Showcase --into "$prog" --copy --company "$work/company.ini"

# The title page, the About picture and the layer logos (24-bit BMP, drawn
# on black so that the blend shows only the mark).
convert -size 1280x800 gradient:'#10243f-#3b7bbf' \
    -fill white -gravity center -pointsize 96 -annotate +0-60 'Showcase' \
    -pointsize 36 -annotate +0+60 'Every feature of an image set' \
    -quality 90 "$set_dir/title.jpg"
convert -size 200x120 gradient:'#3b7bbf-#10243f' \
    -fill white -gravity center -pointsize 28 -annotate +0+0 'Skyloom' \
    "BMP3:$set_dir/about.bmp"
logo() { # file, width, height, point size
    convert -size "$2x$3" xc:black -fill '#f0c040' -stroke white -strokewidth 2 \
        -draw "circle $(($3 / 2)),$(($3 / 2)) $(($3 / 2)),4" \
        -stroke none -fill white -gravity east -pointsize "$4" -annotate +8+0 'Skyloom' \
        -type TrueColor "BMP3:$set_dir/$1"
}
logo logo.bmp 180 60 26
logo logo-small.bmp 120 40 18
logo mark.bmp 90 30 12

# Version-1 credits take their further texts from photo.nfo.
cat >"$set_dir/photo.nfo" <<'INI'
[Info]
PrintOrder=Prints of these photographs are not for sale; they come with the MATE desktop.
Photo=The photographs of this set are the desktop backgrounds of the MATE desktop environment (Debian package mate-backgrounds).
INI

# Prepends sections to a picture's information file, keeping what the set
# maker wrote (its panorama section and the English title line), then
# appends lines after it.
nfo() { # file base, sections file, text file
    {
        if [ -s "$2" ]; then
            cat "$2"
            echo
        fi
        cat "$set_dir/$1.nfo"
        cat "$3"
    } >"$work/nfo.tmp"
    mv "$work/nfo.tmp" "$set_dir/$1.nfo"
}

# Aqua: five languages, version-1 credits, its own web link.
cat >"$work/sections" <<'INI'
[info]
version=1

[Aqua]
PictureInfo=Aqua: a drop falls into still water
ImageNumber=MATE desktop artwork

[WebLinker]
URL=https://example.org/skyloom/aqua
INI
cat >"$work/text" <<'TXT'

A single drop meets still water and throws up a crown of spray.

The picture is one of the backgrounds of the MATE desktop.


French=Aqua

Une goutte tombe dans une eau calme et fait jaillir une couronne.


German=Aqua

Ein Tropfen fällt in stilles Wasser und wirft eine Krone aus Gischt auf.


Spanish=Aqua

Una gota cae en el agua quieta y levanta una corona de espuma.


Japanese=しずく

静かな水面に一滴のしずくが落ち、小さな王冠のような水しぶきが上がります。これはMATEデスクトップの壁紙の一枚です。
TXT
nfo Aqua "$work/sections" "$work/text"

# Dune: English here, French through a redirect to its own file, German
# and Spanish here, Japanese too.
cat >"$work/sections" <<'INI'
[French]
File=dune-fr.txt
INI
cat >"$work/text" <<'TXT'

Wind draws long ridges across the sand.


German=Düne

Der Wind zeichnet lange Grate in den Sand.


Spanish=Duna

El viento dibuja largas crestas en la arena.


Japanese=砂丘

風が砂の上に長い稜線を描きます。
TXT
nfo Dune "$work/sections" "$work/text"
cat >"$set_dir/dune-fr.txt" <<'TXT'
French=La dune

Le vent dessine de longues crêtes dans le sable.

Ce texte est lu dans un fichier à part.
TXT

# LadyBird: version-2 credits, its own saver and wallpaper layer.
cat >"$work/sections" <<'INI'
[info]
version=2

[English]
imageTitlePrompt=Title:
imageTitle=Lady Bird
imageCreditPrompt=Photograph:
imageCredit=MATE desktop artwork
imageInfoPrompt=About this picture:
imageInfo=A ladybird climbs a blade of grass in the morning light.
imageMorePrompt=Where it comes from
imageMore=Debian package mate-backgrounds
URL=https://example.org/skyloom/ladybird
webButton=Visit Skyloom

[LayerSS]
layerImage=mark.bmp
layerTranslucency=20

[LayerWP]
layerImage=mark.bmp
layerTranslucency=50

[WebLinker]
URL=https://example.org/skyloom/ladybird
INI
cat >"$work/text" <<'TXT'

A ladybird climbs a blade of grass.


Japanese=てんとう虫

てんとう虫が草の葉を登っていきます。
TXT
nfo LadyBird "$work/sections" "$work/text"

# The panoramas: descriptions of their motion.
printf '\nThe view glides from left to right across the storm.\n' >"$work/text"
: >"$work/sections"
nfo StormPanorama "$work/sections" "$work/text"
printf '\nThe view glides from top to bottom along the wings.\n' >"$work/text"
nfo WingsTower "$work/sections" "$work/text"

echo "Showcase set made in $set_dir/"
