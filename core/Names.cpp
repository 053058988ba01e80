#include "core/Names.h"

namespace {

struct NamePair {
    const char* Name;
    const char* PossName;
};

// One entry per feud a map can hold: the lands of the old kingdoms of the
// west, and the names their lords went by.
constexpr NamePair FeudNames[MaxFeud] = {
    {"Бургундия", "Бургундский"}, {"Лотарингия", "Лотарингский"},
    {"Саксония", "Саксонский"},   {"Шампань", "Шампанский"},
    {"Гасконь", "Гасконский"},    {"Нормандия", "Нормандский"},
    {"Фландрия", "Фландрский"},   {"Богемия", "Богемский"},
    {"Гиень", "Гиенский"},        {"Анжа", "Анжуйский"},
    {"Бретань", "Бретонский"},    {"Булонь", "Булонский"},
    {"Аквитания", "Аквитанский"}, {"Бавария", "Баварский"},
    {"Швабия", "Швабский"},       {"Тюрингия", "Тюрингский"},
    {"Прованс", "Провансальский"}, {"Брабант", "Брабантский"},
    {"Моравия", "Моравский"},     {"Савойя", "Савойский"},
};

constexpr const char* FeudalNames[MaxFeud] = {
    "Карл", "Филипп", "Август", "Людовик", "Густав", "Иоанн",
    "Фридрих", "Ричард", "Оттон", "Фердинанд", "Генрих", "Вильгельм",
    "Конрад", "Рудольф", "Эдуард", "Альбрехт", "Леопольд", "Сигизмунд",
    "Лотарь", "Балдуин",
};

}  // namespace

void FillNameTables(TGameState& s) {
    for (int i = 1; i <= MaxFeud; ++i) {
        s.NamesFeud[i].Name = QString::fromUtf8(FeudNames[i - 1].Name);
        s.NamesFeud[i].PossName = QString::fromUtf8(FeudNames[i - 1].PossName);
    }
    for (int i = 1; i <= MaxFeud; ++i) s.NamesFeudal[i] = QString::fromUtf8(FeudalNames[i - 1]);
}

QString GetFullNameFeudal(const TGameState& s, int n) {
    const bool known = n >= 1 && n <= MaxFeud;
    const QString name = known ? s.Feuds[n].NameFeudal.ToQString() : QString();
    if (n == s.KingFeud && known) return (QStringLiteral("Король ") + name).left(32);
    QString title = (QStringLiteral("Барон ") + name).left(31);
    title = (title + QLatin1Char(' ')).left(32);
    if (known) title += s.NamesFeud[n].PossName;
    return title;
}

QString FeudName(const TGameState& s, int n) {
    if (n < 1 || n > MaxFeud) return QString();
    const int index = s.Feuds[n].NameFeud;
    if (index < 1 || index > MaxFeud) return QString();
    return s.NamesFeud[index].Name;
}
