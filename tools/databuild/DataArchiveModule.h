// DataArchiveModule - writes "Data.dat": the sections the game reads from
// it, in the order the start-up loader reads them, each made by one entry of
// the section table in DataArchiveModule.cpp from the tables its sources
// give (ContentSources.h). Adding a section is one more table entry: its id
// and sub-id, the reader of its source and the writer of its body.
#pragma once

#include "DataSetBuild.h"

struct ContentSourceTables;

// Every table of "Data.dat" read from its source, in the section table's
// order (a table may look names up in the ones before it); false when a
// source has a fault (printed), every reader run all the same.
bool ReadContentTables(DataSetBuild& build, ContentSourceTables& tables);

class DataArchiveModule : public ArchiveModule {
 public:
  const char* FileName() const override { return "Data.dat"; }
  bool Build(DataSetBuild& build) override;
};
