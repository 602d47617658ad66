// The files of one level in a set of the player's: the finished level, a
// draft kept while the level checker still finds errors, its picture and
// the recording that proves it can be cleared.
#pragma once

#include <cstdint>
#include <string>

#include "editor/draft.h"

namespace editor {

std::string LevelFilePath(const std::string& setFolder, int32_t number);
std::string DraftFilePath(const std::string& setFolder, int32_t number);
std::string ProofFilePath(const std::string& setFolder, int32_t number);

// The level as last saved: its draft when there is one, else the finished
// file, else a new blank level.
TDraft OpenLevel(const std::string& setFolder, int32_t number);

// Levels of the set: the numbers of its finished files and drafts.
int32_t LevelsInSet(const std::string& setFolder);

// Saves a finished level (its draft and its picture replaced) or a draft;
// false when a file could not be written.
bool SaveFinished(const std::string& setFolder, int32_t number, const TDraft& draft);
bool SaveDraft(const std::string& setFolder, int32_t number, const TDraft& draft);

// Writes the set's finished levels, pictures, proofs and tunes as one .mnl
// file (drafts stay home); false when it could not be written.
bool ExportSet(const std::string& setFolder, const std::string& packPath);

}  // namespace editor
