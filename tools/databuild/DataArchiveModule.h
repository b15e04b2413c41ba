// DataArchiveModule - writes "Data.dat": the sections the game reads from
// it, in the order the start-up loader reads them, each made by one entry of
// the section table in DataArchiveModule.cpp from the tables its sources
// give (ContentSources.h). Adding a section is one more table entry: its id
// and sub-id, the reader of its source and the writer of its body.
#pragma once

#include "DataSetBuild.h"

class DataArchiveModule : public ArchiveModule {
 public:
  const char* FileName() const override { return "Data.dat"; }
  bool Build(DataSetBuild& build) override;
};
