#pragma once

#include "recipe/recipe.h"

#include <QList>

namespace quillet::recipe {

// What the current batch did, kept as steps in step with the history of the names: every
// change the history records is told here, as a step (a 実行), a hand edit, files taken in,
// or the names restored (元に戻す); ← and → move over them as the history does, and the next
// change drops what was taken back. Changes the history can no longer take back are settled.
class BatchSteps {
public:
    // As many changes as the history can take back.
    static constexpr qsizetype kReach = 10;

    void stepRun(const Step& step) { stepsRun({step}); }
    // Several steps in one change of the history: a recipe run.
    void stepsRun(const QList<Step>& steps) { changed({Change::Kind::Steps, steps}); }
    void handEdit() { changed({Change::Kind::HandEdit, {}}); }
    // New lines for new entries: no hand edit of the names.
    void filesTakenIn() { changed({Change::Kind::Intake, {}}); }
    // The names as they were dropped: the steps before it no longer show in them.
    void restored() { changed({Change::Kind::Restore, {}}); }
    void back();
    void forward();
    // やり直す and a rename run start afresh.
    void clear();

    // The steps that made the names as they are, in the order they were run.
    [[nodiscard]] QList<Step> steps() const;
    // Whether a hand edit came before one of those steps.
    [[nodiscard]] bool followsHandEdits() const;

private:
    struct Change {
        enum class Kind { Steps, HandEdit, Intake, Restore };
        Kind kind;
        QList<Step> steps;
    };
    struct Replay {
        QList<Step> steps;
        bool handEditBefore = false;
        bool followsHandEdits = false;
        void add(const Change& change);
    };
    void changed(const Change& change);
    // What the changes not taken back add up to.
    [[nodiscard]] Replay replayed() const;

    Replay m_settled;
    QList<Change> m_recent; // within reach
    qsizetype m_done = 0;   // how many of m_recent are not taken back
};

} // namespace quillet::recipe
