// What a match import leaves for the registration dialog to do once it has read a reply, a match list or
// a match-input file: the import itself writes the match record; the dialog then shows the boxes, sets the
// form controls named here, redraws the loaded match and tells the operator view.
//
// The helpers below are the border checks every import shares: received text is taken as UTF-8 (bytes
// that are not become U+FFFD), cut to its field on a character boundary, and nation codes are looked up
// in the nation table.
//
// Thread: user-interface thread (the functions that take MatchData write it).
#pragma once

#include <cstddef>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct MatchData;

struct ImportOutcome {
    bool taken = false;                // the match record holds the imported match now
    std::vector<std::u16string> boxes; // shown in order (a refusal, or notes while the import went on)
    std::optional<int> genderItem;     // the gender combo's entry to select
    std::optional<int> nationRow[2];   // Chung's and Hong's nationality combo rows to select
    std::vector<std::pair<int, std::string>> texts; // form controls and their new text (UTF-8), in order
    bool confirm = false; // the supplier-0 confirmation records (CO, BN) go back now
    int showKeep = 0;     // the argument of the dialog's redraw of the loaded match
    bool notify = true;   // the operator view hears of the new match (when taken)
};

namespace ImportText {

// The text as UTF-8 that is certainly valid, cut to at most `limit` bytes without splitting a character.
std::string Clean(std::string_view text, std::size_t limit);

// A bounded copy into a fixed narrow field of the match record (see Clean); the rest is zeroed.
void PutField(char* field, std::size_t size, std::string_view text);
template <std::size_t N> void Put(char (&field)[N], std::string_view text) {
    PutField(field, N, text);
}

// Leading blanks, an optional sign and decimal digits up to the first other character; anything else is
// 0. Saturates at the int range.
int Decimal(std::string_view text);

// A whole number and nothing else: blanks around an optional sign and at most nine digits.
std::optional<int> WholeNumber(std::string_view text);

// The range the operator may type for a value of a match, which an imported value must keep as well.
struct Range {
    int low;
    int high;
};
constexpr Range kLevelRange{0, 100};  // minimum hit levels, as the registration dialog takes them
constexpr Range kRoundsRange{0, 4};   // rounds; an import's 0 stands for 3
constexpr Range kTimeRange{10, 599};  // round, rest, injury and golden-round times in seconds
constexpr Range kGamJeomRange{1, 50}; // the gam-jeom limit
constexpr Range kPointGapRange{5, 50};
constexpr Range kReplayRange{0, 5}; // video-replay quotas

// The numbers of one import, checked before anything is written: the first value outside its range (or no
// whole number at all) refuses the import with a message naming the field as the peer calls it.
class Checks {
public:
    // The value of a text field; 0 once refused.
    int Text(std::string_view field, std::string_view text, Range range);
    // A value the peer sent as a number.
    int Number(std::string_view field, int value, Range range);
    // A value the peer sent in a form that is no number of its kind (a time that is no "mm:ss").
    void NotANumber(std::string_view field, std::string_view text, Range range);
    bool Refused() const { return !m_refusal.empty(); }
    // The import refused: the one box, nothing taken.
    ImportOutcome Refusal() const;

private:
    void Refuse(std::string_view field, std::string_view shown, Range range);
    std::u16string m_refusal;
};

// The first `count` characters of a UTF-8 text.
std::string FirstCharacters(std::string_view text, std::size_t count);

// Splits at every separator: field n lies between the n-th and the (n+1)-th separator.
std::vector<std::string> Split(std::string_view text, char separator);

// The row of the nation table whose nation code equals `code`; 0 ("no nation") when none does.
int NationRowOf(const MatchData& md, std::string_view code);
// Gives the player slot the nation of that row: its row number and nation name. A code in no row selects
// row 0, so the previous player's nation and flag never stay. Returns the row for the nationality combo.
int SelectNation(MatchData& md, int slot, std::string_view code);
// The same for a row chosen by number (0: no nation).
int SelectNationRow(MatchData& md, int slot, int row);

} // namespace ImportText
