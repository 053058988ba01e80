#include "core/Names.h"

namespace {

struct NamePair {
    const char* Name;
    const char* PossName;
};

constexpr NamePair FeudNames[12] = {
    {"Бургундия", "Бургундский"}, {"Лотарингия", "Лотарингский"},
    {"Саксония", "Саксонский"},   {"Шампань", "Шампанский"},
    {"Гасконь", "Гасконский"},    {"Нормандия", "Нормандский"},
    {"Фландрия", "Фландрский"},   {"Богемия", "Богемский"},
    {"Гиень", "Гиенский"},        {"Анжа", "Анжуйский"},
    {"Бретань", "Бретонский"},    {"Булонь", "Булонский"},
};

constexpr const char* FeudalNames[12] = {
    "Карл", "Филипп", "Август", "Людовик", "Густав", "Иоанн",
    "Фридрих", "Ричард", "Оттон", "Фердинанд", "Генрих", "Вильгельм",
};

}  // namespace

void FillNameTables(TGameState& s) {
    for (int i = 1; i <= MaxFeud; ++i) {
        s.NamesFeud[i] = TPossNameFeud{};
        s.NamesFeudal[i].clear();
    }
    for (int i = 1; i <= 12; ++i) {
        s.NamesFeud[i].Name = QString::fromUtf8(FeudNames[i - 1].Name);
        s.NamesFeud[i].PossName = QString::fromUtf8(FeudNames[i - 1].PossName);
    }
    for (int i = 1; i <= 12; ++i) s.NamesFeudal[i] = QString::fromUtf8(FeudalNames[i - 1]);
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
