#pragma once
// The set registry Skyloom.ini and the in-memory library built from it.
//
// Skyloom.ini in the program directory lists the installed sets in
// [SetDescriptions] (set name = set directory, "*" first when the set is
// excluded) and, in a section per set, its pictures (image name = file base,
// "*" first when the picture is excluded). Key order is the order of sets and
// pictures everywhere in the program.
//
// SetLibrary keeps the registry in step with the sets on disk and builds the
// SetsClass the configuration dialog edits; it is plain C++ so that start-up
// can run it without any window. All writes to one file in a row are made as
// one atomic rewrite of that file.

#include "imagesets/ImageSets.h"

#include <string>
#include <string_view>

namespace skyloom::imagesets {

inline constexpr const char* kRegistryFile = "Skyloom.ini";
inline constexpr const char* kSettingsFile = "ScreenSaver.ini";
inline constexpr const char* kSetDescriptions = "SetDescriptions";

/// Registers the set in directory `setDirectory` (relative to the program
/// directory `programPath`, ending in a separator): reads its images.ini and
/// writes the set and all its pictures with their marks into Skyloom.ini in
/// one rewrite. Does nothing and returns false when the set name is already
/// registered with a non-empty directory, or when the images.ini is not valid
/// (logged). Registering the same set again never adds keys.
bool RegisterImageSet(const std::string& programPath, const std::string& setDirectory);

class SetLibrary {
public:
    enum class InitResult {
        Ok,              ///< the registry matches the disk and the library is built
        NoProgramPath,   ///< GetProgramPath failed (it reported why); no sets
        NoImageSetsFound ///< no images.ini below the program directory
    };

    /// Synchronises Skyloom.ini with the sets on disk and builds the set
    /// collections and every set's picture lists. Sets that disappeared from
    /// disk lose their registry entries; new sets are registered with all
    /// their pictures; known sets keep their marks. The program directory
    /// comes from GetProgramPath, or from the argument when one is given.
    InitResult InitSetsInfo();
    InitResult InitSetsInfo(const std::string& programPath);

    /// Adds one set per name of `keyList` (set names, each followed by a NUL,
    /// as the profile routines list keys) to `included` or `excluded`,
    /// according to its [SetDescriptions] value, with its title-page state
    /// from its company.ini.
    void BuildSetCollection(std::string keyList, SetCollection& included, SetCollection& excluded);

    /// Fills the set's picture lists from its Skyloom.ini section; pictures
    /// whose preview bitmap (file base + ".bmp") does not exist are left out.
    void InitImageInfo(SetInfoClass& set);

    /// Writes every set's include/exclude state and its pictures' marks to
    /// Skyloom.ini (one rewrite; existing keys keep their position) and each
    /// set's title-page switch to its company.ini. False when a file could not
    /// be written.
    bool SaveSetsInfo();
    /// The part of SaveSetsInfo for one set.
    bool SaveSetImages(const SetInfoClass& set);

    SetsClass& Sets() { return sets_; }
    const SetsClass& Sets() const { return sets_; }
    /// Program directory ("" before InitSetsInfo or without one), ending in "/".
    const std::string& ProgramPath() const { return programPath_; }
    /// Program directory + "Skyloom.ini".
    const std::string& RegistryPath() const { return registryPath_; }
    /// Program directory + "ScreenSaver.ini".
    const std::string& SettingsPath() const { return settingsPath_; }

private:
    void buildFromRegistry();

    SetsClass sets_;
    std::string programPath_;
    std::string registryPath_;
    std::string settingsPath_;
};

} // namespace skyloom::imagesets
