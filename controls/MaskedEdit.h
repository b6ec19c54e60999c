// The masked edit: a line edit whose text follows a mask, for clock values the operator types ("# : ## . ##",
// "# : ##"). Literals stay in place; only input positions take characters, each of its class. Owners set and
// read the value as the window text with its literals (SetWindowText / GetWindowText). Without a mask it is a
// plain line edit.
//
// Thread: user-interface thread only.
#pragma once

#include "controls/MaskedEditModel.h"

#include <QLineEdit>

class QLocale;

// The record sent to the owner when the edit loses the focus: the owner may refuse the value (valid false),
// take over the decision (defaultValidation false) and say where the caret goes when it is refused.
struct MaskedEditValidation {
    int controlId = 0;
    bool valid = true;
    bool defaultValidation = true;
    int caretPos = 0;
};

class CMaskedEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CMaskedEdit(QWidget* parent = nullptr, int controlId = 0);

    // The separators a locale shows for ".", ",", ":" and "/" (the first character of each).
    static MaskSeparators SeparatorsOf(const QLocale& locale);
    // Separators for masks set from now on (the user's locale by default).
    void SetSeparators(const MaskSeparators& separators) { m_model.separators = separators; }

    // Replaces the mask (the text takes the new mask with prompts) and puts the caret on the first input
    // position. An empty mask makes a plain edit.
    void SetMask(const QString& mask);
    void EmptyMask();
    QString GetTypedChars() const;
    // Fills the input positions from the text; false when a character was refused.
    bool FillPositions(const QString& source, bool raw);
    void SetPromptChar(QChar prompt) { m_model.prompt = prompt.unicode(); }
    void SetAutoTab(bool on) { m_bAutoTab = on; }
    bool InsertMode() const { return m_bInsert; }

    // The owner's text: literals it repeats are matched, the rest fills the input positions. Sends
    // updated() but not changed().
    void SetWindowText(const QString& text);
    QString GetWindowText() const { return text(); }

    const MaskModel& Model() const { return m_model; }
    int ControlId() const { return m_nControlId; }

signals:
    // Every time the control shows a new text (EN_UPDATE), and when that text came from editing (EN_CHANGE).
    void updated();
    void changed();
    // Sent as the edit loses the focus; connect directly.
    void validate(MaskedEditValidation& record);

protected:
    // A refused key; beeps.
    virtual void OnInvalidKey();
    // The control's own check of the value when the owner leaves it the decision; true accepts.
    virtual bool ValidateInput() { return true; }

    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Shows the model's text and, when caret >= 0, puts the caret forward from it.
    void Redisplay(int caret);
    void PlaceCaretForward(int index);
    void SelectionRange(int& start, int& end) const;
    void Apply(const MaskModel::KeyResult& result);
    void OnCut();
    void OnCopy();
    void OnClear();
    void OnPaste();

    MaskModel m_model;
    int m_nControlId = 0;
    bool m_bInsert = true;
    bool m_bAutoTab = false;
    bool m_bReportChange = true;
};
