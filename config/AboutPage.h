#pragma once
// The "About" page of the configuration dialog without its widgets: the
// company information of the set chosen in the page's own set list, with
// the fall-backs of ScreenSaver.ini, the visit button, and the rotation of
// the set's pictures in the page's thumbnail box.

#include "imagesets/SetLibrary.h"

#include <functional>
#include <string>
#include <vector>

namespace skyloom::config {

class AboutPage {
public:
    explicit AboutPage(const imagesets::SetLibrary& library);

    std::vector<std::string> sets; ///< cmboAboutSets entries
    int setIndex = -1;             ///< cmboAboutSets selection
    std::string setFolder;         ///< program directory + set directory, "" before a choice

    // What the page shows.
    std::string logoPath; ///< imgLogo file, "" for the built-in logo
    std::string bitDepth; ///< lblBitDepth, e.g. "24 Bit Color"
    std::string moreInfo; ///< lblMoreInfo (introduction)
    std::string webAddress;
    std::string companyName;
    std::string address;
    std::string cityStateZip;
    std::string phone;
    std::string support;              ///< lblSupport
    bool supportCaptionShown = false; ///< Label4
    std::string phoneSupport;         ///< lblPhoneSupport
    std::string visitCaption;         ///< cmdVisitUs caption
    bool visitShown = false;          ///< cmdVisitUs shown (and enabled)
    std::string visitAddress;         ///< address cmdVisitUs opens

    /// Preview bitmaps of the chosen set's included pictures, in set order.
    std::vector<std::string> thumbnails;

    /// InitLists: the included sets, the first one chosen.
    void InitSetList();
    /// UpdateLists: included sets the list does not hold yet are added at
    /// the end; entries and the selection stay (a set excluded meanwhile
    /// stays listed until the dialog is opened again).
    void UpdateSetList();

    /// cmboAboutSets_Click: chooses entry `index`, rebuilds the thumbnail
    /// list and fills the page (LoadAboutPage, SetWebButton).
    void cmboAboutSets_Click(int index);
    /// Fills the texts and the logo from the chosen set's company.ini and
    /// ScreenSaver.ini; `bitsPerPixel` is the display's colour depth.
    void LoadAboutPage(int bitsPerPixel);
    /// Caption, visibility and address of the visit button.
    void SetWebButton();

    /// One thumbnail step: moves two entries forward (1-based index
    /// ((index + 1) mod n) + 1) and hands the entry to `load`. An entry that
    /// does not load is followed by the next step; after as many tries as
    /// there are entries the step ends without a picture. False then, or
    /// when the list is empty.
    bool thumbnailStep(const std::function<bool(const std::string&)>& load);

private:
    const imagesets::SetLibrary* library_;
    int thumbnailIndex_ = 0; ///< 1-based, 0 before the first step
};

/// The address a click on a shown address opens: addresses with a scheme
/// stay as they are, an e-mail address gets "mailto:", anything else
/// ("www.example.org") "http://". "" for an empty text.
std::string addressToOpen(const std::string& shown);

/// The program's name and release as the About page shows them, e.g.
/// "Moonfield Screen Saver 1.2.3".
std::string programTitle();

} // namespace skyloom::config
