// A prompter for tests: answers message boxes from a script (IDOK, or the default answer, when the script
// is empty) and records every box. Installed for the lifetime of the object.
#pragma once

#include "platform/MessageBox.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

class ScriptedPrompter final : public platform::Prompter {
public:
    struct Box {
        std::u16string text;
        std::u16string caption;
        UINT flags;
    };

    explicit ScriptedPrompter(int defaultAnswer = IDOK);
    ~ScriptedPrompter() override;

    void answer(int id) {
        std::lock_guard l(m_lock);
        m_answers.push_back(id);
    }
    std::vector<Box> boxes() const {
        std::lock_guard l(m_lock);
        return m_boxes;
    }
    // UTF-8 texts of the boxes shown, for readable expectations.
    std::vector<std::string> texts() const;

    int ask(HWND owner, std::u16string_view text, std::u16string_view caption, UINT flags) override;

private:
    mutable std::mutex m_lock;
    std::deque<int> m_answers;
    std::vector<Box> m_boxes;
    int m_default;
    platform::Prompter* m_previous;
};
