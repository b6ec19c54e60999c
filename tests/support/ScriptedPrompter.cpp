#include "tests/support/ScriptedPrompter.h"

#include <QString>

ScriptedPrompter::ScriptedPrompter(int defaultAnswer)
    : m_default(defaultAnswer), m_previous(platform::setPrompter(this)) {}

ScriptedPrompter::~ScriptedPrompter() {
    platform::setPrompter(m_previous);
}

std::vector<std::string> ScriptedPrompter::texts() const {
    std::vector<std::string> out;
    for (const Box& box : boxes())
        out.push_back(QString::fromStdU16String(box.text).toStdString());
    return out;
}

int ScriptedPrompter::ask(HWND, std::u16string_view text, std::u16string_view caption, UINT flags) {
    std::lock_guard l(m_lock);
    m_boxes.push_back({std::u16string(text), std::u16string(caption), flags});
    if (m_answers.empty())
        return m_default;
    const int id = m_answers.front();
    m_answers.pop_front();
    return id;
}
