// The README's walk-through "Trying a match without devices", done as it is written: the receiver and
// wired-judge emulators run as their own programs, the court follows the steps with the operator's hands,
// and every emulator line the README shows is typed into the emulator it names, its score claim
// ("**Chung +2**") checked on the operator screen and its side-frame claim on the judge emulator's output.
#include "tests/e2e/Court.h"

#include "app/IniFiles.h"
#include "app/ProgressDlg.h"
#include "registration/RegDlg.h"

#include <QCheckBox>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// One bullet of the walk-through's last step: the emulator lines in the order shown, each with the
// emulator it goes to, and what the README says follows.
struct Step {
    std::string text;
    std::vector<std::pair<std::string, std::string>> lines; // emulator ("receiver" or "judges"), line
    std::string side;                                       // "Chung" or "Hong" when a score is claimed
    int points = 0;
    std::string printed; // what the judge emulator prints, when claimed ("(Hong scored)")
};

// The section of the README, from its heading to the next.
QString Section() {
    QFile readme(QStringLiteral(BELVANTA_SOURCE_DIR "/README.md"));
    if (!readme.open(QIODevice::ReadOnly))
        return {};
    const QString all = QString::fromUtf8(readme.readAll());
    const qsizetype start = all.indexOf("## Trying a match without devices");
    if (start < 0)
        return {};
    const qsizetype end = all.indexOf("\n## ", start + 1);
    return all.mid(start, end < 0 ? -1 : end - start);
}

// The bullets of the section (lines starting "- " and their indented continuations) that name emulator
// lines.
std::vector<Step> Steps(const QString& section) {
    std::vector<QString> bullets;
    for (const QString& line : section.split('\n')) {
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith("- "))
            bullets.push_back(trimmed.mid(2));
        else if (!bullets.empty() && !trimmed.isEmpty() && line.startsWith("     "))
            bullets.back() += " " + trimmed;
        else if (!trimmed.startsWith("- "))
            bullets.emplace_back();
    }
    static const QRegularExpression line("(receiver|judges) `([^`]+)`");
    static const QRegularExpression score("\\*\\*(Chung|Hong) \\+(\\d+)\\*\\*");
    static const QRegularExpression printed("\"(\\((?:Chung|Hong) scored\\))\"");
    std::vector<Step> steps;
    for (const QString& bullet : bullets) {
        Step step;
        step.text = bullet.toStdString();
        for (auto it = line.globalMatch(bullet); it.hasNext();) {
            const auto match = it.next();
            step.lines.emplace_back(match.captured(1).toStdString(), match.captured(2).toStdString());
        }
        if (step.lines.empty())
            continue;
        if (const auto match = score.match(bullet); match.hasMatch()) {
            step.side = match.captured(1).toStdString();
            step.points = match.captured(2).toInt();
        }
        if (const auto match = printed.match(bullet); match.hasMatch())
            step.printed = match.captured(1).toStdString();
        steps.push_back(step);
    }
    return steps;
}

// An emulator running as its own program; what it prints is collected as it comes.
class Emulator {
public:
    explicit Emulator(const char* program, const QStringList& arguments = {}) {
        m_process.start(QString::fromUtf8(program), arguments);
        m_process.waitForStarted();
    }
    ~Emulator() {
        m_process.closeWriteChannel(); // the end of its input ends it
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished(10000);
    }
    bool Running() const { return m_process.state() == QProcess::Running; }
    void Type(const std::string& line) {
        m_process.write(QByteArray::fromStdString(line + "\n"));
        m_process.waitForBytesWritten(10000);
    }
    // Everything printed so far on standard output, and on standard error.
    const std::string& Printed() {
        m_out += m_process.readAllStandardOutput().toStdString();
        return m_out;
    }
    // What it printed on standard error but the core library's greeting as it loads.
    std::string Complaints() {
        m_err += m_process.readAllStandardError().toStdString();
        std::string complaints;
        for (const QString& line : QString::fromStdString(m_err).split('\n', Qt::SkipEmptyParts))
            if (!line.startsWith("STRANDEL.DLL"))
                complaints += line.toStdString() + "\n";
        return complaints;
    }
    // The value after "KEY" up to the end of the first printed line that has it, waiting for it.
    std::string Value(const std::string& key) {
        for (int wait = 0; wait < 200; ++wait) {
            const std::string& out = Printed();
            const std::size_t at = out.find(key);
            const std::size_t end = at == std::string::npos ? at : out.find('\n', at);
            if (end != std::string::npos)
                return out.substr(at + key.size(), end - at - key.size());
            m_process.waitForReadyRead(100);
        }
        return {};
    }

private:
    QProcess m_process;
    std::string m_out, m_err;
};

class ReadmeWalkthrough : public Court {
protected:
    // Step 1: the program is started with the receiver emulator's terminal.
    std::string ReceiverPath() override { return m_receiverPath; }
    void SetUp() override {
        m_receiver = std::make_unique<Emulator>(BELVANTA_RECEIVER_EMULATOR);
        ASSERT_TRUE(m_receiver->Running());
        m_receiverPath = m_receiver->Value("BELVANTA_RECEIVER=");
        ASSERT_FALSE(m_receiverPath.empty()) << m_receiver->Printed();
        Court::SetUp();
    }
    void TearDown() override {
        Court::TearDown();
        m_receiver.reset();
    }

    // What the program shows of an emulator line: the scores, the judges' presses held in the open windows,
    // the punch marks and the wired judges' values.
    std::vector<int> Observed() const {
        const std::pair<int, int> shown = Shown();
        std::vector<int> seen = {shown.first, shown.second, view->m_nPunchState[0], view->m_nPunchState[1]};
        for (int side = 0; side < 2; ++side)
            for (const std::uint32_t mask : view->m_judgeWindows[side].mask)
                seen.push_back(static_cast<int>(mask));
        for (const int value : md->nJudgeWiredValue)
            seen.push_back(value);
        return seen;
    }

    std::unique_ptr<Emulator> m_receiver;

private:
    std::string m_receiverPath;
};

TEST_F(ReadmeWalkthrough, EveryEmulatorLineTheReadmeShowsDoesWhatItSays) {
    const QString section = Section();
    ASSERT_FALSE(section.isEmpty()) << "README.md has no \"Trying a match without devices\"";
    const std::vector<Step> steps = Steps(section);
    ASSERT_FALSE(steps.empty()) << "the walk-through shows no emulator lines";

    // Step 1: linked on the court's saved channel without "SET", and no box about the receiver's version.
    ASSERT_TRUE(Until([&] { return view->m_bLinkReady != 0; }));
    EXPECT_EQ(md->bReceiverVerOk, 1) << "the emulator answers as a receiver the program supports";

    // Step 2: judge 1 on the wire, its port from the judge emulator's line.
    ASSERT_TRUE(section.contains("scripts/emulators judges -n 1"));
    Emulator judges(BELVANTA_JUDGE_EMULATOR, {"-n", "1"});
    const std::string port = judges.Value("[JUDGE_1] Port=");
    ASSERT_FALSE(port.empty()) << judges.Printed();
    WriteIniString(u"JUDGE_1", u"Port", QString::fromStdString(port).toStdU16String().c_str(),
                   u"JudgeDev.ini");

    // Step 3: registration, a contest registered and loaded, "||", the devices paired, judge 1 wired.
    ASSERT_NO_FATAL_FAILURE(RegisterAndLoad("001", "KIM MINJUN", "LEE SEOYEON"));
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{}) << "no \"Please set the channel and court\"";
    CTK_RegDlg* dialog = view->m_pRegDlg;
    ASSERT_NE(dialog, nullptr);
    auto* wide = static_cast<QCheckBox*>(dialog->GetDlgItem(1063));
    ASSERT_NE(wide, nullptr);
    if (!wide->isChecked()) {
        ASSERT_NO_FATAL_FAILURE(Click(wide));
    }
    for (const auto& [button, flag] : DeviceButtons())
        if (button != 1329) {
            ASSERT_NO_FATAL_FAILURE(PairByButton(*dialog, button, *flag));
        }
    ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1311))); // judge 1's "Use Wire Connection"
    ASSERT_NO_FATAL_FAILURE(Click(dialog->GetDlgItem(1329)));
    ASSERT_EQ(md->bJudgeWired[0], 1) << ::testing::PrintToString(prompter.texts());
    CloseRegistration();

    // Step 4: Start, then each line typed into its emulator.
    Key(Qt::Key_Space);
    ASSERT_EQ(md->nGameState, 3);
    Advance(3000);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.text);
        const std::pair<int, int> before = Shown();
        const std::size_t printedBefore = judges.Printed().size();
        for (const auto& [emulator, line] : step.lines) {
            Emulator& target = emulator == "receiver" ? *m_receiver : judges;
            target.Type(line);
            // Each line is taken before the next goes: the program shows something of it (a score, a
            // judge's press held, a punch's mark, a value), or the emulator refused it.
            const std::vector<int> seen = Observed();
            EXPECT_TRUE(Until([&] { return !target.Complaints().empty() || Observed() != seen; })) << line;
            Advance(10);
        }
        if (step.points > 0) {
            const std::pair<int, int> expected = step.side == "Chung"
                                                     ? std::pair{before.first + step.points, before.second}
                                                     : std::pair{before.first, before.second + step.points};
            Until([&] {
                Advance(10);
                return Shown() == expected;
            });
            EXPECT_EQ(Shown(), expected);
        }
        if (!step.printed.empty()) {
            EXPECT_TRUE(Until([&] {
                return judges.Printed().find(step.printed, printedBefore) != std::string::npos;
            })) << judges.Printed().substr(printedBefore);
        }
        EXPECT_EQ(m_receiver->Complaints(), "");
        EXPECT_EQ(judges.Complaints(), "");
        Advance(2000); // every judges' window of the step has closed
    }
    // The value report of judge 1 reached the program.
    EXPECT_EQ(md->nJudgeWiredValue[0], 80);
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{});
}

} // namespace
