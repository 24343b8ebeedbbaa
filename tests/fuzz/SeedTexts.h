#pragma once
// The text seeds of make_fuzz_seeds: INI files, image-set files,
// description and credits files as set authors write them, in the layouts
// and encodings the readers meet (LF and CR LF, Windows-1252, Shift-JIS,
// UTF-8 with a byte-order mark). The imageset and credits targets take
// several files in one input, split at form feeds ("\f").

#include <initializer_list>
#include <string_view>

namespace skyloom::fuzz {

struct SeedText {
    const char* name;
    std::string_view bytes;
};

using namespace std::string_view_literals;

inline constexpr std::initializer_list<SeedText> kIniSeeds = {
    {"settings.ini", "[PrefsSS]\nchange=60s\ntransition=3\n\n[Calendar]\nshow=1\n"
                     "; a comment\nposition = \"top left\"\n"sv},
    {"crlf-bom.ini", "\xEF\xBB\xBF[About]\r\naboutTab=about.jpg\r\nsupportURL='x'\r\n"
                     "[about]\r\nsecond=ignored\r\n"sv},
    {"preamble-garbage.ini", "loose=line\n\x01\x02\xff\n[ Spaced ]\t\nkey\t=\tvalue\n"
                             "novalue\n[Empty]\n[]\n=empty key\nlast=no newline"sv},
    {"registry.ini", "[SetDescriptions]\nAqua=Aqua/\nDunes=*Dunes/\n\n[Aqua]\nDrop=drop\n"
                     "Wave=*wave\n[Dunes]\nD\xfcne=dune1\n"sv},
};

inline constexpr std::initializer_list<SeedText> kImageSetSeeds = {
    {"set.txt", "[SetDescriptions]\nAqua=Water pictures\n\n[Aqua]\nDrop=pic1\n"
                "Wave = *Pic2\n\f[TitlePage]\nfile=title.jpg\ntime=20\nuserControl=1\n"
                "[WebLinker]\nCompanyURL=https://example.org/\n"sv},
    {"registered.txt", "[SetDescriptions]\nAqua=x\n[Aqua]\nDrop=pic1\nWave=pic2\n"
                       "\f[TitlePage]\nfile=*title.jpg\n"
                       "\f[SetDescriptions]\nAqua=*Set/\nGone=Gone/\n[Aqua]\nDrop=*pic1\n"
                       "Wave=pic2\n[Gone]\nOld=old\n"sv},
    {"windows.txt", "[SetDescriptions]\r\nD\xfcnen=1\r\n[d\xfcnen]\r\nSand\xe9=Pics\\pic1\r\n"
                    "; comment\r\nBad=..\\..\\etc\\passwd\r\n"
                    "\f\f[SetDescriptions]\r\nD\xfcnen=Set/\r\n"sv},
    {"invalid.txt", "[SetDescriptions]\nSetDescriptions=x\n[SetDescriptions]\nline without eq\n"sv},
};

inline constexpr std::initializer_list<SeedText> kNfoSeeds = {
    {"five-languages.nfo", "[Panoramic]\nPanDirection=LeftToRight\n\nEnglish=Aqua\n\n"
                           "A single drop meets still water.\n\nThe picture is one of the "
                           "backgrounds.\n\n\nFrench=Aqua en fran\xc3\xa7"
                           "ais\n\nUne goutte.\n"
                           "German=D\xc3\xbcne\n\nDer Wind.\nSpanish=Duna\n\nEl viento.\n"
                           "Japanese=\xe3\x81\x97\xe3\x81\x9a\xe3\x81\x8f\n\n"
                           "\xe9\x9d\x99\xe3\x81\x8b\xe3\x80\x82\xe6\xb0\xb4\xe3\x80\x82\n"sv},
    {"crlf-1252.nfo", "English=Caf\xe9 du port\r\n\r\nA long paragraph of words that needs "
                      "wrapping over several lines of the panel, word after word.\r\n\r\n"
                      "Second paragraph.\r\n"sv},
    {"shift-jis.nfo", "Japanese=\x82\xb5\x82\xb8\x82\xad\n\n\x90\xc3\x82\xa9\x81\x42\n"sv},
    {"redirect.nfo", "[English]\nFile=pic.nfo\n[Japanese]\nFile=..\\outside.txt\n"
                     "English=\n\nno title\n"sv},
};

inline constexpr std::initializer_list<SeedText> kCreditsSeeds = {
    {"version1.txt", "[Pic]\nPictureInfo=Harbour at dusk\nImageNumber=(c) A. Painter\n"
                     "\f[Info]\nPrintOrder=Prints from the shop\nPhoto=Taken in 1999.\n"sv},
    {"version2.txt", "[info]\nversion=2\n[English]\nimageTitle=Harbour\nat dusk\n"
                     "imageCredit=A. Painter\nimageInfo=First line\n\nthird line\n"
                     "imageMore=Shop\nline two\nline three\nURL=https://example.org/\n"
                     "webButton=Visit\n[French]\nimageTitle=Port\n"sv},
    {"version2-crlf.txt", "[info]\r\nversion = 2 \r\n[Japanese]\r\nimageTitle=\x82\xb5\r\n"
                          "imageTitlePrompt=T\r\nimageInfoPrompt=I\r\nimageMorePrompt=M\r\n"
                          "imageCreditPrompt=C\r\n\x00\r\n"sv},
    {"unknown-version.txt", "[info]\nversion=3\n[Pic]\nPictureInfo=x\n"sv},
};

} // namespace skyloom::fuzz
