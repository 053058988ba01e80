// The whole state of a game: feud records, lennik slots, the map grid, the
// name tables and the counters. Every window reads and writes one global
// instance, `Game`; rules take the state they work on by reference so that a
// test can run them on an instance of its own.
#pragma once

#include <cstdint>
#include <cstring>

#include <QString>

#include "core/ShortString.h"

// Capacities. Per-feud tables are indexed 1..MaxFeud (entry 0 unused), lennik
// slots 1..MaxLennik (slot 0 unused), the map grid [row 0..199][column 0..399].
constexpr int MaxFeud = 20;
constexpr int MaxLennik = 80000;
constexpr int MapWidth = 400;
constexpr int MapHeight = 200;

// Relation codes, one signed byte; stored as a byte -1 is 0xFF and -2 is 0xFE.
constexpr int8_t Ally = 2;
constexpr int8_t Peace = 1;
constexpr int8_t Unknown = 0;
constexpr int8_t Enemy = -1;
constexpr int8_t PersEnemy = -2;

// Senior of a vassal of the king while no king is known yet during seating.
constexpr uint8_t SeniorOfUnknownKing = 255;

// Army orders.
constexpr uint8_t ArmyNone = 0;
constexpr uint8_t ArmyMove = 1;
constexpr uint8_t ArmyAttack = 2;

using TNameFeudal = ShortString<25>;

// One feud together with its feudal.
struct TFeud {
    uint8_t NameFeud;        // index into NamesFeud; the feud's own number
    int32_t Len;             // fiefs: pixel count minus 25, at least 0
    int32_t Lennik;          // lenniks held, never more than Len
    int32_t LennikAppear;    // lenniks now serving
    int32_t Grain;
    int32_t Peasant;
    int32_t Cow;
    int32_t Horse;
    double PastureCow;       // nothing assigns these two
    double PastureHorse;
    double Fertility;        // yearly harvest is Peasant * Fertility
    uint8_t CrossTime;       // trunc((Len + 500) / 1000) + 1
    int32_t AddLennik;       // what the last year's end added
    int32_t AddGrain;
    int32_t AddCow;
    int32_t AddHorse;
    int32_t PosX;            // last pixel of the feud in row-major order
    int32_t PosY;
    TNameFeudal NameFeudal;  // the feudal's personal name, Windows-1251
    uint8_t Gamer;           // 1 = a human plays this feud
    uint8_t Senior;          // own number for the king, 0 for an independent
    uint8_t Independence;    // percent chance to start independent
    int32_t Auth;            // authority; also the lenniks' answer chance
    uint8_t JobLennik;       // weeks the lenniks owe per call
    uint8_t JobVassal;
    uint8_t CallLennik;
    uint8_t CallVassal;
    uint8_t LennikInService;
    uint8_t VassalInService;
    uint8_t WeekJobLennik;   // weeks the called lenniks have served
    uint8_t DismissLennik;
    uint8_t DismissVassal;
    int32_t Level;
    int32_t LevelSpear;
    int32_t LevelSword;
    int32_t LevelRiding;
    int32_t Health;
    int32_t Strength;
    int32_t Endurance;
    int32_t Morale;
    int32_t Discipline;
    int32_t HorseSpeed;
    int32_t HorseStrength;
    int32_t HorseEndurance;
    int32_t HorseSize;
    int32_t HorseArmourHead;
    int32_t HorseArmourBody;
    int32_t WeaponSpear;
    int32_t WeaponSword;
    int32_t Helmet;
    int32_t Defence;
    int32_t Shield;
    int32_t Hand;
    int32_t Glove;
    int32_t Leg;
    int32_t Victory;
    int32_t Lose;
    int32_t VictorySiege;
    int32_t LoseSiege;
    int32_t KillEnemy;
    int32_t KillOur;
    int32_t PrisonerEnemy;
    int32_t PrisonerOur;
    uint8_t ArmyFeud;        // where the field army stands
    uint8_t ArmyCommand;     // ArmyNone, ArmyMove, ArmyAttack
    uint8_t ArmyTarget;
    uint8_t ArmyTime;        // march time, computed at the week's end
    int8_t DipToFeudalShow[MaxFeud + 1];   // declared relation towards feud j
    int8_t DipToFeudalTrue[MaxFeud + 1];   // true relation towards feud j
    int8_t DipFromFeudalShow[MaxFeud + 1]; // relation feud j shows towards us
    int8_t DipFromFeudalTrue[MaxFeud + 1]; // true relation of feud j towards us
    uint8_t Neighbour[MaxFeud + 1];        // 1 = borders feud j (self too)
    uint8_t DipMode;         // 1 = this player's map shows diplomacy colours
    uint8_t DipView;         // 0..3, the diplomacy view last chosen
};

// One retainer. A slot with Feud = 0 is free.
struct TLennik {
    uint8_t Feud;
    uint8_t Appear;          // answered a call and serves
    uint8_t InCastle;        // serving in the castle (1) or in the field (0)
    int32_t Spear;
    int32_t Sword;
    int32_t Riding;
    int32_t Health;
    int32_t Strength;
    int32_t Endurance;
    int32_t Armour;
    int32_t Morale;
    int32_t Discipline;
    int32_t Battle;
};

// What happened to a feudal between two of his turns, as the rules noted it
// while the others moved; his next turn shows it. Kinds:
enum TEventKind : uint8_t {
    EventNone = 0,
    EventBattle,           // Feud attacked Target: forces, losses, Won, Senior
    EventMove,             // Feud's army moved into Target
    EventAttackPassed,     // Feud's attack on Target did not happen: Target's army was not at home
    EventLenniksAnswered,  // Count lenniks serve after the call
    EventLenniksHome,      // Count lenniks went home; Reason says why
    EventVassalWon,        // Feud beat Target, who became this feudal's vassal
    EventVassalLost,       // Feud beat Target, this feudal's vassal, whose senior is now Senior
    EventYearEnd,          // what the home feud gained; every call lifted
};

// Why lenniks went home.
constexpr uint8_t HomeServiceOver = 1;
constexpr uint8_t HomeDismissed = 2;
constexpr uint8_t HomeYearEnd = 3;

// The figures of an event, by kind.
constexpr int FigAttackers = 0;      // battle: the field armies before it
constexpr int FigDefenders = 1;
constexpr int FigAttackersLost = 2;  // and the fallen of each side
constexpr int FigDefendersLost = 3;
constexpr int FigCount = 0;          // lenniks who answered or went home
constexpr int FigGrain = 0;          // the year's end: what was added
constexpr int FigCows = 1;
constexpr int FigHorses = 2;
constexpr int FigPeasants = 3;
constexpr int FigLenniks = 4;

struct TEvent {
    int32_t Year;        // the week at whose end it happened
    int32_t Figures[5];
    uint8_t Week;
    uint8_t Kind;        // TEventKind
    uint8_t Feud;        // who acted: the attacker, the mover
    uint8_t Target;      // the feud attacked or moved into
    uint8_t Senior;      // the beaten feud's senior after the battle; 0 when the attack failed
    uint8_t SeniorBefore; // and before it
    uint8_t Flag;        // battle: 1 when the attacker won; lenniks home: the reason
    uint8_t Spare;
};

// A feudal's events, oldest first, in a ring: when it is full the oldest go.
constexpr int MaxEvent = 64;
struct TEventList {
    TEvent Items[MaxEvent];
    uint16_t First;  // the oldest
    uint16_t Count;
};

// Where the lenniks of each feud lie, derived from the slots and never saved:
// for each feud byte 1..MaxFeud, the runs of consecutive slots that named it
// when the index was built, in slot order. A slot gets its feud only from
// world generation and from loading a game, which both build the index, and
// otherwise only loses it (KillLennik), so the runs keep every slot of the
// feud; whoever walks them still checks each slot's feud. A state whose slots
// were filled by hand builds it with IndexFeudSlots, or leaves it unbuilt and
// every walk takes the whole table.
struct TFeudSlots {
    uint8_t Built;                 // 0: never built since the slots were cleared
    int32_t First[MaxFeud + 2];    // the runs of feud f: First[f] .. First[f + 1] - 1
    int32_t Start[MaxLennik];      // the first slot of a run
    int32_t End[MaxLennik];        // and the slot past its last
};

struct TPossNameFeud {
    QString Name;      // "Бургундия"
    QString PossName;  // "Бургундский"
};

struct TGameState {
    TFeud Feuds[MaxFeud + 1];
    TLennik Lenniks[MaxLennik + 1];
    uint8_t Map[MapHeight][MapWidth];   // feud number of each pixel, 0 = border
    uint8_t QuantityFeud;
    uint8_t QuantityGamer;
    TPossNameFeud NamesFeud[MaxFeud + 1];
    QString NamesFeudal[MaxFeud + 1];
    int32_t Year;
    uint8_t Week;                       // 1..7
    uint8_t TurnOrder[MaxFeud + 1];
    uint8_t TurnIndex;                  // 0 before the first turn
    uint8_t CurrentFeud;
    uint8_t SelectFeud;
    uint8_t KingFeud;                   // 0 = no king
    uint8_t BattleOrder[MaxFeud + 1];
    ShortString<255> NameGamer;         // the name just typed by the player being seated
    uint8_t DipFeud;
    uint8_t CursorFeud;
    int32_t MapX;
    int32_t MapY;
    int32_t ArmyToCastle;
    // Per feud, what happened since its feudal's turn last began; emptied
    // once his turn has shown it. Not part of a saved game.
    TEventList Events[MaxFeud + 1];
    // Where each feud's lenniks lie; not part of a saved game either.
    TFeudSlots FeudSlots;
};

// The one game of the program, zero at program start (static storage).
extern TGameState Game;

// The feuds of the map: QuantityFeud, never more than the tables hold. Feud
// numbers are bytes; a slot or record naming a feud off the map counts for
// nobody.
inline int MapFeuds(const TGameState& s) { return s.QuantityFeud < MaxFeud ? s.QuantityFeud : MaxFeud; }

// True for a feud number of the loaded map.
inline bool IsFeud(const TGameState& s, int n) { return n >= 1 && n <= s.QuantityFeud && n <= MaxFeud; }

// Clears every feud record, lennik slot, the grid and the counters; the name
// tables are kept and the index of the feuds' slots is left unbuilt. Used by
// tests that reuse an instance.
void ClearGameData(TGameState& s);

// Copies what a game is, but its lennik slots: the feud records, the grid,
// the counters and the turn; events and name tables stay as they are.
void CopyGameFields(const TGameState& from, TGameState& to);
// Builds the index of the feuds' slots from the slots as they are now; two
// passes over the table. World generation and loading a game call it, and so
// must whoever gives slots to feuds by hand once the index is built.
void IndexFeudSlots(TGameState& s);
// A stretch of consecutive slots that all name one feud: Start .. End - 1.
struct TSlotRun {
    int32_t Start;
    int32_t End;
    uint8_t Feud;
};
// Builds the index from the longest runs the slots make, given in slot order,
// as IndexFeudSlots would find them; runs of feud 0 or beyond MaxFeud are
// passed over. For a reader that has walked the slots already.
void IndexFeudSlotsFromRuns(TGameState& s, const TSlotRun* runs, int count);
// True when the index is unbuilt, or when its runs hold every slot of feud f
// (1..MaxFeud). A walk checks it in Debug builds, to catch a slot given to a
// feud behind the index's back.
bool FeudSlotsCover(const TGameState& s, int f);
