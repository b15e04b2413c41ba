// LanguageModule - writes the language cache "language.dat", always from
// its text source: the sample language's text tree and pictures are staged
// afresh in "<data>/language/" beside its four bitmap fonts (baked from
// system faces through the font tool's baker), the language is read from
// there and written as the cache, then the cache is read back to check that
// it is whole. Nothing of an earlier build is reused.
#pragma once

#include "DataSetBuild.h"

class LanguageModule : public ArchiveModule {
 public:
  const char* FileName() const override { return "language.dat"; }
  bool Build(DataSetBuild& build) override;
};
