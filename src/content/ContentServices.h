// ContentServices - the content library's tables read from the data
// archive, game-wide: products, bonuses, awards, ground, levels, the
// character descriptions, the garbage kinds of the empty places, the
// building, plant and villain kinds and the comics. None is owned: whoever
// makes a table installs it here and takes it out again before deleting it
// (the game's world, app/DataSet.h; tests install their own); no table
// installs itself. ResetContentServices returns every field to its start
// (null) and frees nothing. A new table is a new field; the reset needs no
// change.
#pragma once

class AwardTable;
class BuildingTable;
class CharacterList;
class ComixList;
class GameBonuses;
class GarbageList;
class GroundList;
class LevelTable;
class PlantTable;
class ProductList;
class VillainList;

struct ContentServices {
  ProductList* products = nullptr;
  GameBonuses* bonuses = nullptr;
  AwardTable* awards = nullptr;
  GroundList* grounds = nullptr;
  LevelTable* levels = nullptr;
  CharacterList* characters = nullptr;  // the character descriptions
  BuildingTable* buildings = nullptr;   // "BLDN"
  PlantTable* plants = nullptr;         // "PLNT"
  VillainList* villains = nullptr;      // "VLNS"
  ComixList* comics = nullptr;          // "COMX"
  GarbageList* garbage = nullptr;       // the garbage kinds read at start-up; null: places carry none
};

ContentServices& GetContentServices();
void ResetContentServices();
