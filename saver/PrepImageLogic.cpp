#include "PrepImageLogic.h"

#include "common/Log.h"
#include "common/Profile.h"
#include "graphics/Proportions.h"
#include "imagesets/SetFiles.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <random>

namespace skyloom::saver {

int cint(double v) {
    const auto r = roundHalfEven(v);
    return static_cast<int>(std::clamp<std::int64_t>(r, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

namespace {

// Int(Rnd × n) + 1, kept inside 1..n whatever the source returns.
int drawIndex(const RandomSource& random, int n) {
    const int i = static_cast<int>(std::floor(random() * n)) + 1;
    return std::clamp(i, 1, std::max(1, n));
}

std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::string::size_type start = 0;
    while (true) {
        const auto comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// The leading number of a text, rounded half to even into 32 bits.
std::int32_t numericValue(const std::string& text) {
    const double v =
        std::clamp<double>(leadingNumber(text), std::numeric_limits<std::int32_t>::min(),
                           std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(roundHalfEven(v));
}

} // namespace

RandomSource clockSeededRandom() {
    auto engine = std::make_shared<std::mt19937>(
        static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    return [engine] { return std::uniform_real_distribution<double>(0.0, 1.0)(*engine); };
}

// ---------------------------------------------------------------- choice

void PictureChooser::store(int index) {
    WriteIniString("PrefsSS", "LastImage", std::to_string(index), settingsFile_);
}

void PictureChooser::shown() {
    if (positionToStore_)
        store(current_);
    positionToStore_ = false;
}

int PictureChooser::next(int count, bool hasTitlePage, Timing& timing) {
    tried_.clear();
    int index = 1;
    // A title page alone in its list is all there is to show.
    const bool titleOnly = hasTitlePage && count <= 1;
    if (!hasTitlePage || current_ != 0) {
        if (titleOnly) {
            index = 1;
        } else if (randomOrder_) {
            // Bounded, so that a faulty random source cannot hang the saver.
            for (int draw = 0; draw < 1000; ++draw) {
                index = drawIndex(random_, count);
                if ((!hasTitlePage || index != 1) && !(avoid && draw < 100 && avoid(index)))
                    break;
            }
            if (hasTitlePage && index == 1)
                index = 2;
            positionToStore_ = true;
        } else {
            const int last =
                positionToStore_ ? current_ : ReadIniInt("PrefsSS", "LastImage", 0, settingsFile_);
            index = last + 1;
            if (index > count || index < 1)
                index = hasTitlePage ? 2 : 1;
            if (hasTitlePage && index == 1)
                index = 2;
            positionToStore_ = true;
        }
        titleShowing_ = false;
        timing.displayTime = timing.restoreTime;
    } else {
        // The title page stays for its own time; the pictures' time comes back after it.
        std::swap(timing.displayTime, timing.restoreTime);
        titleShowing_ = true;
    }
    current_ = index;
    return index;
}

int PictureChooser::following(int previous, int count, bool hasTitlePage) {
    const int first = hasTitlePage && count > 1 ? 2 : 1;
    int index = previous + 1;
    if (index > count || index < first)
        index = first;
    if (randomOrder_ && count > first) {
        // In random order the next try is drawn again, among the entries not
        // tried in this change: walking on to the following entry would show
        // the one after a missing picture twice as often as the others.
        if (int(tried_.size()) != count + 1)
            tried_.assign(std::size_t(count) + 1, false);
        if (previous >= 1 && previous <= count)
            tried_[std::size_t(previous)] = true;
        int untried = 0;
        for (int i = first; i <= count; ++i)
            untried += tried_[std::size_t(i)] ? 0 : 1;
        if (untried > 0) {
            int k = drawIndex(random_, untried);
            for (int i = first; i <= count; ++i)
                if (!tried_[std::size_t(i)] && --k == 0) {
                    index = i;
                    break;
                }
        }
    }
    positionToStore_ = !randomOrder_;
    titleShowing_ = false;
    current_ = index;
    return index;
}

// ---------------------------------------------------------------- layer

std::int32_t normaliseTranslucency(std::int32_t value) {
    if (value > 100) {
        // Single precision as the sets' authoring tool computed it.
        const float percent = static_cast<float>(value) / 65535.0f * 100.0f;
        return static_cast<std::int32_t>(roundHalfEven(percent));
    }
    if (value == 100)
        return 99;
    return value;
}

void LayerChooser::countPicture() {
    if (picturesSinceLayer < std::numeric_limits<std::int32_t>::max())
        ++picturesSinceLayer;
}

LayerChoice LayerChooser::ChooseLayer(const std::string& imageList,
                                      const std::string& translucencyList, int frequency,
                                      bool randomOrder, const RandomSource& random) {
    LayerChoice choice;
    if (picturesSinceLayer < frequency)
        return choice;
    picturesSinceLayer = 0;
    const auto images = splitAtCommas(imageList);
    const auto values = splitAtCommas(translucencyList);
    const int n = static_cast<int>(images.size());
    int index;
    if (randomOrder) {
        index = drawIndex(random, n);
    } else {
        if (layerPosition > n || layerPosition < 1)
            layerPosition = 1;
        index = layerPosition++;
    }
    if (values.size() == 1)
        choice.translucency = numericValue(values[0]);
    else if (index <= static_cast<int>(values.size()))
        choice.translucency = numericValue(values[index - 1]);
    else // the list of values is shorter than the list of images
        choice.translucency = n > 1 ? 50 : numericValue(values[0]);
    choice.image = trimmed(images[index - 1]);
    return choice;
}

// ---------------------------------------------------------------- fit

PanAxis panAxisOf(const std::string& d) {
    if (d == "LeftToRight" || d == "RightToLeft")
        return PanAxis::Horizontal;
    if (d == "TopToBottom" || d == "BottomToTop")
        return PanAxis::Vertical;
    return PanAxis::None;
}

FitPlan planFit(Size s, Size d, const std::string& panDirection, bool panEnabled, bool stretch,
                int origin, bool keepAspect) {
    s.width = std::max(1, s.width);
    s.height = std::max(1, s.height);
    d.width = std::max(1, d.width);
    d.height = std::max(1, d.height);
    FitPlan plan;
    plan.fitted = s;
    plan.target = d;
    const PanAxis axis = panAxisOf(panDirection);
    if (axis != PanAxis::None && panEnabled) {
        Size t = s;
        if (stretch && axis == PanAxis::Horizontal)
            t = {cint(double(s.width) * d.height / s.height), d.height};
        else if (stretch)
            t = {d.width, cint(double(s.height) * d.width / s.width)};
        t.width = std::max(1, t.width);
        t.height = std::max(1, t.height);
        const bool fits = t.width <= kMaxPreparedSide && t.height <= kMaxPreparedSide &&
                          std::int64_t(t.width) * t.height <= kMaxPanoramaPixels;
        if (fits) {
            plan.target = t;
            plan.keepsPanDirection = true;
            if (panDirection == "RightToLeft")
                plan.layerShiftX = t.width - d.width;
            if (panDirection == "BottomToTop")
                plan.layerShiftY = t.height - d.height;
        }
    }
    if (axis != PanAxis::None && !plan.keepsPanDirection) {
        // Shown still: cut a piece of the display's shape at the origin.
        plan.cut = true;
        if (axis == PanAxis::Horizontal) {
            plan.fitted = {std::max(1, cint(double(s.height) * d.width / d.height)), s.height};
            plan.cutX = std::clamp(origin, 0, std::max(0, s.width - plan.fitted.width));
        } else {
            plan.fitted = {s.width, std::max(1, cint(double(s.width) * d.height / d.width))};
            plan.cutY = std::clamp(origin, 0, std::max(0, s.height - plan.fitted.height));
        }
    }
    if (stretch && keepAspect && !plan.cut && !plan.keepsPanDirection && plan.fitted != d) {
        // A still picture keeps its proportions: it covers the display when
        // the shapes nearly agree, else it is fitted inside, on black.
        const graphics::ProportionFit f =
            graphics::keepProportions(s.width, s.height, d.width, d.height);
        if (!f.inside) {
            plan.fitted = {f.cutWidth, f.cutHeight};
            plan.cutX = f.cutX;
            plan.cutY = f.cutY;
            plan.cover = plan.fitted != s;
        } else {
            plan.inside = {f.width, f.height};
            plan.insideX = f.x;
            plan.insideY = f.y;
            plan.copy = FitPlan::Copy::Stretch;
            plan.smooth = f.scale > 1;
            return plan;
        }
    }
    if (plan.fitted == plan.target) {
        plan.copy = FitPlan::Copy::Same;
    } else if (stretch) {
        plan.copy = FitPlan::Copy::Stretch;
        plan.smooth =
            plan.target.width > plan.fitted.width || plan.target.height > plan.fitted.height;
    } else {
        plan.copy = FitPlan::Copy::Centre;
        plan.centreX = cint((plan.target.width - plan.fitted.width) / 2.0);
        plan.centreY = cint((plan.target.height - plan.fitted.height) / 2.0);
    }
    return plan;
}

FirstView planFirstView(const std::string& dir, Size p, Size d) {
    FirstView v;
    auto startsWith = [&](const char* word) { return dir.rfind(word, 0) == 0; };
    if (startsWith("Top")) {
        v.panMode = 1;
    } else if (startsWith("Bottom")) {
        v.panMode = 2;
        v.panY = p.height - d.height;
    } else if (startsWith("Left")) {
        v.panMode = 4;
    } else if (startsWith("Right")) {
        v.panMode = 8;
        v.panX = p.width - d.width;
    }
    const bool vertical = v.panMode == 1 || v.panMode == 2;
    const bool fills = v.panMode == 0 || (vertical ? p.width == d.width : p.height == d.height);
    v.areaWidth = v.panMode == 0 ? p.width : d.width;
    v.areaHeight = v.panMode == 0 ? p.height : d.height;
    if (fills) {
        v.fromPicture = v.panX >= 0 && v.panY >= 0 && v.panX + v.areaWidth <= p.width &&
                        v.panY + v.areaHeight <= p.height;
        if (!v.fromPicture) {
            // A picture shorter than the view: the rest of the view is black.
            v.areaWidth = d.width;
            v.areaHeight = d.height;
            v.windowX = v.panX;
            v.windowY = v.panY;
            v.windowWidth = d.width;
            v.windowHeight = d.height;
        }
        return v;
    }
    // A panorama narrower than the display: a window of the display's shape
    // centred on black, cut (not shrunk) where it is larger than the display.
    // The pan moves the same window, so the view does not change shape (and
    // no black bar runs through it) when the pan takes over.
    v.fromPicture = false;
    v.letterbox = true;
    const double dw = std::max(1, d.width), dh = std::max(1, d.height);
    if (vertical) {
        v.windowWidth = std::max(1, p.width);
        v.windowHeight = std::max(1, cint(double(p.width) * dh / dw));
        if (v.panMode == 2)
            v.windowY = p.height - v.windowHeight;
    } else {
        v.windowHeight = std::max(1, p.height);
        v.windowWidth = std::max(1, cint(double(p.height) * dw / dh));
        if (v.panMode == 8)
            v.windowX = p.width - v.windowWidth;
    }
    v.atX = cint((d.width - v.windowWidth) / 2.0);
    v.atY = cint((d.height - v.windowHeight) / 2.0);
    v.areaWidth = d.width;
    v.areaHeight = d.height;
    return v;
}

// ---------------------------------------------------------------- settings

std::string setFolderOf(const std::string& relativePath) {
    const auto sep = relativePath.find_first_of("/\\");
    return sep == std::string::npos ? std::string() : relativePath.substr(0, sep + 1);
}

PictureSettings readPictureSettings(const std::string& programPath, const std::string& relativePath,
                                    bool titleShowing, bool randomOrder, LayerChooser& layers,
                                    const RandomSource& random) {
    PictureSettings p;
    imagesets::PathResolver resolver;
    auto existing = [&](const std::string& rel) {
        // A file that is not there gives every value its default.
        return resolver.resolve(programPath, rel).value_or(std::string());
    };
    const std::string setFolder = setFolderOf(relativePath);
    const std::string nfo = existing(relativePath + ".nfo");
    const std::string company = existing(setFolder + "company.ini");
    auto read = [](const std::string& file, const char* section, const char* key, const char* def) {
        return file.empty() ? std::string(def)
                            : imagesets::fromIniText(ReadIniString(section, key, def, file));
    };
    p.panDirection = trimmed(read(nfo, "Panoramic", "PanDirection", ""));
    p.panoramicOrigin = std::clamp<std::int32_t>(
        numericValue(read(nfo, "Panoramic", "PanoramicOrigin", "0")), -32768, 32767);
    p.pictureUrl = read(nfo, "WebLinker", "URL", "");
    p.companyUrl = read(company, "WebLinker", "companyURL", "");
    p.setUrl = read(company, "WebLinker", "setURL", "");
    p.saverUrl = read(company, "WebLinker", "SSURL", "");
    p.webLinkEnabled = numericValue(read(company, "WebLinker", "WebLinker", "0")) != 0;
    p.saverWebLinkEnabled = numericValue(read(company, "WebLinker", "SSWebLinker", "0")) != 0;

    std::string layerName = trimmed(read(nfo, "LayerSS", "layerImage", ""));
    std::int32_t translucency = 0;
    if (!layerName.empty()) {
        translucency = numericValue(read(nfo, "LayerSS", "layerTranslucency", "0"));
    } else {
        const std::string list = read(company, "LayerSS", "layerImage", "");
        const std::string values = read(company, "LayerSS", "layerTranslucency", "50");
        const int frequency = numericValue(read(company, "LayerSS", "layerFrequency", "1"));
        const LayerChoice c = layers.ChooseLayer(list, values, frequency, randomOrder, random);
        layerName = c.image;
        translucency = c.translucency;
    }
    p.layerTranslucency = normaliseTranslucency(translucency);
    if (!layerName.empty() && !titleShowing) {
        p.layerPath = existing(setFolder + layerName);
        if (p.layerPath.empty())
            logWarning("saver", "layer picture not found: " + programPath + setFolder + layerName);
    }
    return p;
}

} // namespace skyloom::saver
