// WindowServices - the game windows' game-wide values: the comic book
// (ComixBook.h), the current profile's award sets for the awards window
// (AwardsWindow.h), and what the map's and the main screen's windows open
// the profiles and the options windows with (ProfileRoster.h,
// OptionsWindow.h), and the current player's profile the map's windows read
// (MapProfile.h). None is owned: whoever makes one installs it here and
// takes it out again before deleting it. ResetWindowServices returns every
// field to its start (null) and frees nothing, but keeps the current
// profile: the profile store installs it when a player is chosen and takes
// it out when the profile goes, outliving the game windows' stage.
#pragma once

class AwardsProfile;
class ComixBook;
class MapProfile;
class OptionsHooks;
class ProfileRoster;

struct WindowServices {
  ComixBook* comixBook = nullptr;  // the comic book, made at game set-up
  // The current profile's award sets for the awards window; null: none.
  AwardsProfile* awardsProfile = nullptr;
  // Installed by the game; null: those windows are not opened.
  ProfileRoster* profileRoster = nullptr;
  OptionsHooks* optionsHooks = nullptr;
  // The current player's profile (GetMapProfile); null: none is current.
  MapProfile* mapProfile = nullptr;
};

WindowServices& GetWindowServices();
void ResetWindowServices();
