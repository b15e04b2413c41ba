// WindowServices - the game windows' game-wide values: the comic book
// (ComixBook.h), the current profile's award sets for the awards window
// (AwardsWindow.h), the current profile as the map's windows read it
// (MapProfile.h), and what the map's and the main screen's windows open
// the profiles and the options windows with (ProfileRoster.h,
// OptionsWindow.h). None is owned: whoever makes one installs it here and
// takes it out again before deleting it. ResetWindowServices returns every
// field to its start (null) and frees nothing.
#pragma once

class AwardsProfile;
class ComixBook;
class MapProfile;
class OptionsHooks;
class ProfileRoster;

struct WindowServices {
  ComixBook* comixBook = nullptr;  // the comic book, made by the world's window-manager stage
  // The current profile's award sets for the awards window; null: none.
  AwardsProfile* awardsProfile = nullptr;
  // The current profile as the map's windows read it (GetMapProfile); null: none.
  MapProfile* mapProfile = nullptr;
  // The game's, installed by its world's window-manager stage; null: those
  // windows are not opened.
  ProfileRoster* profileRoster = nullptr;
  OptionsHooks* optionsHooks = nullptr;
};

WindowServices& GetWindowServices();
void ResetWindowServices();
