// Titles from EXIF, IPTC and XMP, and from file names.

#include "TestPictures.h"

#include "imagesets/maker/Metadata.h"

#include <gtest/gtest.h>

using namespace skyloom::mkset;
using namespace skyloom::test;

namespace {

PictureMetadata metaOf(const std::vector<JpegMarker>& markers) {
    return readJpegMetadata(markers);
}

} // namespace

TEST(Metadata, TitleComesFromXmpThenIptcThenExifThenTheFileName) {
    const auto exif = exifSegment(8, "Harbour at dusk", "Canon");
    const auto iptc = iptcSegment("Old Harbour", "Boats in the old harbour at dusk");
    const auto xmp = xmpSegment("Harbour &amp; boats &#x2014; dusk", "Boats &lt;moored&gt;");

    PictureMetadata all = metaOf({exif, iptc, xmp});
    EXPECT_EQ(all.orientation, 8);
    EXPECT_EQ(all.make, "Canon");
    PictureTitle t = chooseTitle(all, "IMG_0042");
    EXPECT_EQ(t.title, "Harbour & boats \xE2\x80\x94 dusk"); // x-default item, entities decoded
    EXPECT_EQ(t.description, "Boats <moored>");

    t = chooseTitle(metaOf({exif, iptc}), "IMG_0042");
    EXPECT_EQ(t.title, "Old Harbour");
    EXPECT_EQ(t.description, "Boats in the old harbour at dusk");

    t = chooseTitle(metaOf({exif}), "IMG_0042");
    EXPECT_EQ(t.title, "Harbour at dusk"); // a description serves as title
    EXPECT_EQ(t.description, "");          // not repeated

    t = chooseTitle(metaOf({}), "IMG_0042");
    EXPECT_EQ(t.title, "IMG 0042");
}

TEST(Metadata, CameraDefaultsAndBlankTextsAreNotTitles) {
    for (const char* junk :
         {"KONICA MINOLTA DIGITAL CAMERA", "OLYMPUS DIGITAL CAMERA", "SONY DSC",
          "                                ", "Canon EOS 5D", "---", "SAMSUNG CAMERA PICTURES"}) {
        PictureMetadata m = metaOf({exifSegment(1, junk, "Canon")});
        m.model = "Canon EOS 5D";
        EXPECT_EQ(chooseTitle(m, "Wood").title, "Wood") << junk;
    }
    EXPECT_FALSE(isPlaceholderText("Digital camera museum, Berlin", "", ""));
}

TEST(Metadata, WindowsTitlesAndNonUtf8TextsBecomeUtf8) {
    // XPTitle "富士山" as UTF-16LE.
    const std::string utf16("\xCC\x5B\xEB\x58\x71\x5C", 6);
    PictureMetadata m = metaOf({exifSegment(0, "", "", utf16)});
    EXPECT_EQ(m.orientation, 1);
    EXPECT_EQ(chooseTitle(m, "x").title, "\xE5\xAF\x8C\xE5\xA3\xAB\xE5\xB1\xB1");
    // A Latin-1 description ("Café") and control characters.
    m = metaOf({exifSegment(1, "Caf\xE9\tau\r\nbord")});
    EXPECT_EQ(chooseTitle(m, "x").title, "Caf\xC3\xA9 au"); // first line only
    EXPECT_EQ(chooseTitle(m, "x").description, "Caf\xC3\xA9 au bord");
    // Very long captions are cut at a word.
    m = metaOf({iptcSegment(std::string(60, 'a') + " " + std::string(200, 'b'), "")});
    EXPECT_EQ(chooseTitle(m, "x").title, std::string(60, 'a') + "\xE2\x80\xA6");
}

TEST(Metadata, DamagedSegmentsAreIgnored) {
    JpegMarker exif = exifSegment(6, "A title that is long enough");
    JpegMarker cut{0xE1, {exif.data.begin(), exif.data.begin() + 20}};
    JpegMarker iptc = iptcSegment("Name", "Caption");
    iptc.data[iptc.data.size() - 12] = '\x7F'; // length beyond the segment
    JpegMarker badIptc{0xED, {iptc.data.begin(), iptc.data.end() - 3}};
    PictureMetadata m = metaOf({cut, badIptc, xmpSegment("", ""),
                                JpegMarker{0xE1, bytesOf("http://ns.adobe.com/xap/1.0/")}});
    EXPECT_EQ(chooseTitle(m, "fallback_name").title, "Fallback name");
    PictureMetadata x;
    readXmp("<dc:title><rdf:Alt><rdf:li>unterminated", x);
    readXmp("<dc:titles>no</dc:titles>", x);
    EXPECT_EQ(x.xmpTitle, "");
}

TEST(Metadata, FileNamesAreMadeReadable) {
    EXPECT_EQ(readableFileName("FreshFlower"), "Fresh Flower");
    EXPECT_EQ(readableFileName("Elephants_5640x3172"), "Elephants 5640x3172");
    EXPECT_EQ(readableFileName("rain_drops-2"), "Rain drops 2");
    EXPECT_EQ(readableFileName("2020-07-30 beach"), "2020-07-30 beach");
    EXPECT_EQ(readableFileName("HTMLPage"), "HTML Page");
    EXPECT_EQ(readableFileName("___"), "___");
    EXPECT_EQ(readableFileName(""), "Picture");
    EXPECT_EQ(readableFileName("\xC3\xA9t\xC3\xA9_plage"), "\xC3\xA9t\xC3\xA9 plage");
}
