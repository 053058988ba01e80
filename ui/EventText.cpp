#include "ui/EventText.h"

#include "core/Names.h"
#include "engine/Events.h"
#include "engine/TurnCycle.h"

namespace {

bool IsRussianLetter(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'А' && u <= u'я') || u == u'ё' || u == u'Ё';
}

// Replaces the last `cut` letters of a word by `ending`, in capitals when
// the word is written in capitals.
QString Ending(const QString& word, int cut, const QString& ending) {
    const bool capitals = word.size() > 1 && word == word.toUpper();
    return word.left(word.size() - cut) + (capitals ? ending.toUpper() : ending);
}

bool HardBefore(const QString& word, int cut) {
    if (word.size() <= cut) return false;
    return QStringLiteral("гкхжшчщц").contains(word.at(word.size() - cut - 1).toLower());
}

// A man's personal name in the genitive: Карл - Карла, Андрей - Андрея,
// Игорь - Игоря, Никита - Никиты, Лука - Луки, Илья - Ильи.
QString NameGenitive(const QString& name) {
    // A single letter is an initial, not a name to decline: "А" would lose itself.
    if (name.size() < 2) return name;
    for (QChar c : name)
        if (!IsRussianLetter(c)) return name;
    const QChar last = name.back().toLower();
    if (last == u'й' || last == u'ь') return Ending(name, 1, QStringLiteral("я"));
    if (last == u'а') return Ending(name, 1, HardBefore(name, 1) ? QStringLiteral("и") : QStringLiteral("ы"));
    if (last == u'я') return Ending(name, 1, QStringLiteral("и"));
    if (QStringLiteral("бвгджзклмнпрстфхцчшщ").contains(last)) return Ending(name, 0, QStringLiteral("а"));
    return name;
}

// The feud's adjective in the genitive: Бургундский - Бургундского. Every
// feud's adjective in the game ends in -ий.
QString AdjectiveGenitive(const QString& adjective) {
    const QString low = adjective.toLower();
    if (low.endsWith(QStringLiteral("ий")))
        return Ending(adjective, 2, HardBefore(adjective, 2) ? QStringLiteral("ого") : QStringLiteral("его"));
    return adjective;
}

QString Title(const TGameState& s, int f) { return GetFullNameFeudal(s, f); }

// The feud's name, or "Феод 13" for a feud without one.
QString Feud(const TGameState& s, int f) {
    const QString name = FeudName(s, f);
    return name.isEmpty() ? QStringLiteral("Феод ") + QString::number(f) : name;
}

// After "напал на", "перешло в": Саксония - Саксонию, Анжа - Анжу.
QString FeudAccusative(const TGameState& s, int f) {
    const QString name = FeudName(s, f);
    if (name.isEmpty()) return QStringLiteral("феод ") + QString::number(f);
    if (name.endsWith(u'а')) return Ending(name, 1, QStringLiteral("у"));
    if (name.endsWith(u'я')) return Ending(name, 1, QStringLiteral("ю"));
    return name;
}

QString Number(int32_t n) { return QString::number(n); }
QString Gain(int32_t n) { return n < 0 ? Number(n) : QStringLiteral("+") + Number(n); }

// Where the beaten feud stands after a won battle, as feudal f reads it.
QString Standing(const TGameState& s, int f, const TEvent& e) {
    const int beaten = e.Target;
    const int senior = e.Senior;
    if (senior == beaten)
        return f == beaten ? QStringLiteral("Вы теперь сами себе сеньор.")
                           : Title(s, beaten) + QStringLiteral(" теперь сам себе сеньор.");
    const bool kept = senior == e.SeniorBefore;
    if (f == beaten)
        return (kept ? QStringLiteral("Вы остаётесь вассалом ") : QStringLiteral("Вы теперь вассал ")) +
               TitleGenitive(s, senior) + QStringLiteral(".");
    if (f == senior)
        return Feud(s, beaten) +
               (kept ? QStringLiteral(" остаётся вашим вассалом.") : QStringLiteral(" — теперь ваш вассал."));
    return Feud(s, beaten) + (kept ? QStringLiteral(" остаётся вассалом ") : QStringLiteral(" — вассал ")) +
           TitleGenitive(s, senior) + QStringLiteral(".");
}

QString BattleLine(const TGameState& s, int f, const TEvent& e) {
    const int a = e.Feud;
    const int t = e.Target;
    QString line = Title(s, a) + QStringLiteral(" напал на ") + FeudAccusative(s, t) + QStringLiteral(" (") +
                   Title(s, t) + QStringLiteral("): ") + Number(e.Figures[FigAttackers]) + QStringLiteral(" против ") +
                   Number(e.Figures[FigDefenders]) + QStringLiteral(", потери ") + Number(e.Figures[FigAttackersLost]) +
                   QStringLiteral(" и ") + Number(e.Figures[FigDefendersLost]) + QStringLiteral(". ");
    const bool attackerWon = e.Flag == 1;
    const bool won = attackerWon == (f == a);
    line += won ? QStringLiteral("Победа") : QStringLiteral("Поражение");
    if (e.Figures[FigAttackers] == 0)
        line += f == a ? QStringLiteral(": у вас не было войска в поле")
                       : QStringLiteral(": у нападавшего не было войска в поле");
    line += QStringLiteral(".");
    if (attackerWon) line += QStringLiteral(" ") + Standing(s, f, e);
    return line;
}

QString LenniksHomeLine(const TEvent& e) {
    const QString count = Number(e.Figures[FigCount]) + QStringLiteral(".");
    switch (e.Flag) {
    case HomeServiceOver: return QStringLiteral("Служба ленников окончена, домой ушло: ") + count;
    case HomeDismissed: return QStringLiteral("Ленники распущены, домой ушло: ") + count;
    default: return QStringLiteral("Ленники разошлись по домам к концу года: ") + count;
    }
}

QString YearEndLine(const TEvent& e) {
    return QStringLiteral("Конец года: зерна ") + Gain(e.Figures[FigGrain]) + QStringLiteral(", коров ") +
           Gain(e.Figures[FigCows]) + QStringLiteral(", коней ") + Gain(e.Figures[FigHorses]) +
           QStringLiteral(", крестьян ") + Gain(e.Figures[FigPeasants]) + QStringLiteral(", ленников ") +
           Gain(e.Figures[FigLenniks]) + QStringLiteral(". Все призывы сняты, ленников можно призвать снова.");
}

QString WhatHappened(const TGameState& s, int f, const TEvent& e) {
    switch (e.Kind) {
    case EventBattle: return BattleLine(s, f, e);
    case EventMove: return QStringLiteral("Ваше войско перешло в ") + FeudAccusative(s, e.Target) + QStringLiteral(".");
    case EventAttackPassed:
        return QStringLiteral("Приказ захватить ") + FeudAccusative(s, e.Target) +
               QStringLiteral(" не выполнен: войско ") + TitleGenitive(s, e.Target) +
               QStringLiteral(" стояло не в своём феоде, битвы не было.");
    case EventLenniksAnswered:
        if (e.Figures[FigCount] <= 0) return QStringLiteral("На ваш призыв не явился ни один ленник.");
        return QStringLiteral("На ваш призыв явилось ленников: ") + Number(e.Figures[FigCount]) + QStringLiteral(".");
    case EventLenniksHome: return LenniksHomeLine(e);
    case EventVassalWon:
        return Title(s, e.Feud) + QStringLiteral(" разбил ") + TitleGenitive(s, e.Target) + QStringLiteral(": ") +
               Feud(s, e.Target) + QStringLiteral(" — теперь ваш вассал.");
    case EventVassalLost:
        return Title(s, e.Feud) + QStringLiteral(" разбил вашего вассала ") + TitleGenitive(s, e.Target) +
               QStringLiteral(". ") + Standing(s, f, e);
    case EventYearEnd: return YearEndLine(e);
    default: return {};
    }
}

}  // namespace

QString TitleGenitive(const TGameState& s, int f) {
    const bool known = f >= 1 && f <= MaxFeud;
    const QString name = known ? NameGenitive(s.Feuds[f].NameFeudal.ToQString()) : QString();
    if (known && f == s.KingFeud) return QStringLiteral("короля ") + name;
    const QString adjective = known ? AdjectiveGenitive(s.NamesFeud[f].PossName) : QString();
    return (QStringLiteral("барона ") + name + QStringLiteral(" ") + adjective).trimmed();
}

QString EventLine(const TGameState& s, int f, const TEvent& e) {
    const QString what = WhatHappened(s, f, e);
    if (what.isEmpty()) return {};
    return TimeText(e.Year, e.Week) + QStringLiteral(": ") + what;
}

QStringList EventLines(const TGameState& s, int f) {
    QStringList lines;
    for (int i = 0; i < EventCount(s, f); ++i) {
        const QString line = EventLine(s, f, EventAt(s, f, i));
        if (!line.isEmpty()) lines << line;
    }
    return lines;
}
