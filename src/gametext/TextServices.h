// TextServices - the game-wide state of the game's text layer: the game's
// window and screens the language tells (GameLanguageHost.h), the viewer
// the languages make their images and fonts on, the out-of-memory handler
// and the tests' allocation hook of the font code and the language's lists
// (KGEFont.h), the switch of the game's messages (GameMessager.h), the
// current language (SetGameLanguage), the layout engine every text object
// shares (KGELayout.h), the registry of the fonts and images mark-up names
// (KGEHandleRegistry.h) and the argument cursor of the hint-text builder
// (TextArgs.h).
//
// Whoever makes a value installs it here and takes it out again; nothing
// installs itself. ResetTextServices puts back every hook and switch (the
// fields of TextServiceHooks) and leaves the rest alone: the layout and the
// handle registry are owned here and live as long as the process, as mark-up
// handles are never given out twice while the program runs, and the current
// language holds a use that only SetGameLanguage gives back; the argument
// cursor is started afresh by TextArgs::Set for every tag. A new hook or
// switch is a new field of TextServiceHooks whose default initialiser is its
// start value; the reset needs no change.
#pragma once

#include "gametext/KGEFont.h"
#include "gametext/KGEHandleRegistry.h"
#include "gametext/KGELayout.h"
#include "gametext/TextArgs.h"

class DXLViewer;
class GameLanguage;
class GameLanguageHost;

// What ResetTextServices puts back.
struct TextServiceHooks {
  GameLanguageHost* languageHost = nullptr;  // told of every language set; null: nobody
  DXLViewer* languageViewer = nullptr;       // the languages' images and fonts are made on it
  KGEOutOfMemoryHandler outOfMemory = nullptr;  // null: the default (message box, then exit code 3)
  KGEAllocationHook allocationHook = nullptr;   // asked before each font allocation and language list
                                                // growth; null: none
  bool messagesOff = false;  // set while a screen effect runs: every game message is refused
};

struct TextServices : TextServiceHooks {
  TextServices() = default;
  TextServices(const TextServices&) = delete;
  TextServices& operator=(const TextServices&) = delete;

  GameLanguage* language = nullptr;  // set through SetGameLanguage, which holds a use of it
  KGELayout layout;                  // the engine all texts share
  KGEHandleRegistry handles;         // the game's one registry of mark-up handles
  TextArgsCursor args;               // the hint-text builder's argument cursor (TextArgs)
};

TextServices& GetTextServices();
void ResetTextServices();
