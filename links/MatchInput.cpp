#include "links/MatchInput.h"

#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "platform/ProfileFile.h"

#include <QString>

TTK_MatchInput g_MatchInput;

namespace {

// The levels and times of the record against what the operator may type.
ImportText::Checks CheckNumbers(const TTK_MatchInput& input) {
    ImportText::Checks check;
    const auto number = [&input, &check](const char* key, TTK_MatchInput::Field field,
                                         ImportText::Range range) {
        check.Text(key, QString::fromStdU16String(input.field[field]).toStdString(), range);
    };
    number("body_level", TTK_MatchInput::BodyLevel, ImportText::kLevelRange);
    number("head_level", TTK_MatchInput::HeadLevel, ImportText::kLevelRange);
    number("round_time", TTK_MatchInput::RoundTime, ImportText::kTimeRange);
    number("rest_time", TTK_MatchInput::RestTime, ImportText::kTimeRange);
    return check;
}

} // namespace

void ClearMatchInput() {
    for (std::u16string& text : g_MatchInput.field)
        text.clear();
}

int ReadMatchInputFile(const std::u16string& path, std::u16string* refusal) {
    struct Key {
        const char* section;
        const char* name;
        TTK_MatchInput::Field field;
    };
    static constexpr Key kKeys[] = {
        {"Match_Input", "match", TTK_MatchInput::Match},
        {"Match_Input", "vma_key", TTK_MatchInput::VmaKey},
        {"Match_Input", "blue_name", TTK_MatchInput::BlueName},
        {"Match_Input", "blue_id", TTK_MatchInput::BlueId},
        {"Match_Input", "blue_flag", TTK_MatchInput::BlueFlag},
        {"Match_Input", "red_name", TTK_MatchInput::RedName},
        {"Match_Input", "red_id", TTK_MatchInput::RedId},
        {"Match_Input", "red_flag", TTK_MatchInput::RedFlag},
        {"Match_Input", "gender", TTK_MatchInput::Gender},
        {"Match_Input", "weight", TTK_MatchInput::Weight},
        {"Match_Input", "body_level", TTK_MatchInput::BodyLevel},
        {"Match_Input", "head_level", TTK_MatchInput::HeadLevel},
        {"Timing", "round_time", TTK_MatchInput::RoundTime},
        {"Timing", "rest_time", TTK_MatchInput::RestTime},
    };
    const std::string file = QString::fromStdU16String(path).toStdString();
    TTK_MatchInput read;
    read.bValid = 1;
    const std::size_t slash = path.find_last_of(u"/\\");
    const std::u16string name = slash == std::u16string::npos ? path : path.substr(slash + 1);
    read.field[TTK_MatchInput::FileName] = name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
    for (const Key& key : kKeys) {
        char value[260] = {};
        if (GetPrivateProfileStringA(key.section, key.name, "", value, sizeof value, file.c_str()) == 0)
            return 0;
        read.field[key.field] = RecordTextWide(value);
    }
    const ImportText::Checks check = CheckNumbers(read);
    if (check.Refused()) {
        if (refusal)
            *refusal = check.Refusal().boxes.front();
        return 0;
    }
    g_MatchInput = read;
    return 1;
}

ImportOutcome ApplyMatchInput(MatchData& md, const TTK_MatchInput& input) {
    using ImportText::Put;
    const auto text = [&input](TTK_MatchInput::Field f) {
        return QString::fromStdU16String(input.field[f]).toStdString();
    };
    if (const ImportText::Checks check = CheckNumbers(input); check.Refused())
        return check.Refusal();
    ImportOutcome outcome;
    outcome.taken = true;
    Put(md.szContestNo, text(TTK_MatchInput::Match));
    outcome.texts.emplace_back(1050, FieldText(md.szContestNo));
    static constexpr TTK_MatchInput::Field kName[] = {TTK_MatchInput::BlueName, TTK_MatchInput::RedName};
    static constexpr TTK_MatchInput::Field kFlag[] = {TTK_MatchInput::BlueFlag, TTK_MatchInput::RedFlag};
    for (int side = 0; side < 2; ++side) {
        TTK_Player& player = md.aPlayer[side];
        Put(player.szName, text(kName[side]));
        outcome.texts.emplace_back(side ? 1304 : 1302, FieldText(player.szName));
        const std::string code = text(kFlag[side]);
        const int row = ImportText::NationRowOf(md, code);
        outcome.nationRow[side] = ImportText::SelectNationRow(md, side, row);
        // The code is kept only when the table knows it.
        Put(player.szNationCode,
            row == 0 ? std::string() : QString::fromStdU16String(md.aNation[row].wszField[0]).toStdString());
        if (row == 0)
            Put(player.szNationName, "");
    }
    const std::u16string& gender = input.field[TTK_MatchInput::Gender];
    const bool male = !gender.empty() && (gender[0] == u'M' || gender[0] == u'm');
    outcome.genderItem = male ? 0 : 1;
    Put(md.szGender, male ? "Male" : "Female");
    Put(md.szWeight, text(TTK_MatchInput::Weight));
    md.nLevelBody = ImportText::Decimal(text(TTK_MatchInput::BodyLevel));
    md.nLevelHead = ImportText::Decimal(text(TTK_MatchInput::HeadLevel));
    Put(md.szWeightClass, "");
    Put(md.szPhase, "");
    md.nRestTime = ImportText::Decimal(text(TTK_MatchInput::RestTime));
    md.nMatchTime = ImportText::Decimal(text(TTK_MatchInput::RoundTime));
    return outcome;
}
