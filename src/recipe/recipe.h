#pragma once

#include "batch/chunkedtext.h"
#include "transform/advancededit.h"
#include "transform/profilefile.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <variant>

namespace quillet::recipe {

// One 実行 of the easy mode: the operation and the two values it may read.
struct EasyStep {
    int operation = 0;
    QString valueA;
    QString valueB;
    bool operator==(const EasyStep&) const = default;
};

// One 実行 of the advanced mode: the edit with every value of its boxes.
struct AdvancedStep {
    transform::AdvancedEditRequest edit;
    bool operator==(const AdvancedStep& other) const;
};

using Step = std::variant<EasyStep, AdvancedStep>;

// A named list of steps, replayed on a later batch.
struct Recipe {
    QString name;
    QList<Step> steps;
    QDateTime saved;
    // Hand edits of the lines came before some of its steps when it was saved: replayed on
    // another batch, the steps meet lines without those edits.
    bool followsHandEdits = false;
};

// What a replay reads besides the steps: the templates of the start-up files and the codec
// table, as the window's own 実行 reads them.
struct ReplayValues {
    QString crc16Template;
    QString crc32Template;
    QString codecTemplate;
    transform::ProfileFile codecNames;
};

// Why the recipe cannot run: the first step that names no operation the lists have (an index
// out of range, or an empty separator item), in words; nothing when every step applies.
[[nodiscard]] std::optional<QString> recipeProblem(const Recipe& recipe);

// The names after every step of the recipe, in order, over lines 0 .. count - 1; nothing,
// with no step run, when recipeProblem() finds one.
[[nodiscard]] std::optional<batch::ChunkedText> replayRecipe(const Recipe& recipe,
                                                             const batch::ChunkedText& names,
                                                             qsizetype count,
                                                             const ReplayValues& values);

} // namespace quillet::recipe
