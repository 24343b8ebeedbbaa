# Sourced by the whole-program tests: make_set <program dir> puts a small
# image set there (two pictures drawn with ImageMagick), so the programs have
# something to show.
make_set() {
    set_dir="$1/Test Set"
    mkdir -p "$set_dir"
    convert -size 640x480 gradient:navy-orange "$set_dir/one.jpg"
    convert -size 640x480 gradient:darkgreen-khaki "$set_dir/two.jpg"
    convert "$set_dir/one.jpg" -resize 96x72 "BMP3:$set_dir/one.bmp"
    convert "$set_dir/two.jpg" -resize 96x72 "BMP3:$set_dir/two.bmp"
    printf '[SetDescriptions]\nTest Set=Two pictures\n\n[Test Set]\nOne=one\nTwo=two\n' \
        >"$set_dir/images.ini"
}
