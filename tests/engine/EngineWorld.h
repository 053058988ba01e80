// A small world for the turn engine's tests, built straight into a state of
// its own, and a message recorder that answers questions from a script.
#pragma once

#include <deque>
#include <memory>

#include <QVector>

#include <QStringList>

#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Names.h"

struct RecordedMessages : Messages {
    QStringList infos, errors, questions;
    QStringList all;                // every text in order
    std::deque<bool> answers;       // Confirm answers, then Yes by default
    void Info(const QString& text) override {
        infos << text;
        all << text;
    }
    void Error(const QString& text) override {
        errors << text;
        all << text;
    }
    bool Confirm(const QString& text) override {
        questions << text;
        all << text;
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    void Clear() {
        infos.clear();
        errors.clear();
        questions.clear();
        all.clear();
    }
};

// n feuds in a row, each bordering the next; feud k holds lenniks[k] lenniks
// in consecutive slots (feud 1 first), as world generation lays them out.
// Every feud starts with the generated figures; feud 1 is the king and the
// others his vassals unless a test changes it. Nobody is a player.
std::unique_ptr<TGameState> MakeWorld(int n, const int* lenniks = nullptr, int len = 1000);
void BuildWorld(TGameState& s, int n, const int* lenniks = nullptr, int len = 1000);

// Occupied slots of feud f, in slot order.
QVector<int> SlotsOf(const TGameState& s, int f);
// Marks the first count slots of feud f as serving in the field (or castle).
void MakeServing(TGameState& s, int f, int count, bool inCastle = false);
