// Which folder holds a process's settings file: beside the program for a build
// folder or a portable copy, else the user's configuration folder.
#pragma once

#include <string>

namespace oc {

// What the choice depends on, as native (UTF-8) paths.
struct SettingsPlaces {
    std::string programFolder;  // the folder of the running program
    std::string configHome;     // $XDG_CONFIG_HOME; ignored when empty or relative
    std::string home;           // $HOME, else the account's home folder
    std::string dataHome = {};  // $XDG_DATA_HOME; ignored when empty or relative
};

// The places of this process.
SettingsPlaces currentSettingsPlaces();

// The program's folder when the user may write to it and it is not an
// installed bin folder (one with the installed data folder beside it);
// otherwise <config home>/originality-checker, created (mode 0700) when
// missing, with ~/.config as the config home without $XDG_CONFIG_HOME. The
// program's folder too when there is no home at all.
std::string settingsFolder(const SettingsPlaces& places);

// Whether the program runs portable: its own folder is writable and no
// installed bin folder, so what it keeps stays beside it.
bool runsPortable(const SettingsPlaces& places);

// <data home>/originality-checker (~/.local/share without $XDG_DATA_HOME), not
// created; empty when there is no home at all.
std::string dataFolder(const SettingsPlaces& places);

// Creates the missing folders of a path with mode 0700, as the XDG base
// directory rules ask. True when it is a folder afterwards.
bool makeUserFolders(const std::string& path);

}  // namespace oc
