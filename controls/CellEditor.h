// The edit box shown over a grid cell while it is edited. It ends itself on Enter, Tab, Escape (which puts
// the old text back), the loss of the focus, and, unless it was opened by a mouse click, the arrow and page
// keys; the grid then learns the text and the key that ended the edit and handles that key itself.
//
// Thread: user-interface thread only.
#pragma once

#include "platform/WinTypes.h"

#include <QLineEdit>

class CGridModel;

class CCellEditor : public QLineEdit {
    Q_OBJECT
public:
    // Opens over rect on parent (the grid's viewport) with the cell's text; the first character decides
    // whether the text is kept with the caret at its end (VK_LBUTTON for the mouse or F2, Enter, Backspace),
    // selected (VK_TAB: moved in by Tab, an arrow or a page key) or replaced by that character.
    CCellEditor(QWidget* parent, CGridModel* grid, QRect rect, Qt::Alignment alignment, int row, int col,
                const QString& initialText, UINT firstChar);

    // Ends the edit: the grid gets the text and the exit key, then the editor deletes itself. Once only.
    void EndEdit();
    // The cell is going: the edit ends without telling the grid.
    void Detach() { m_pGrid = nullptr; }
    UINT ExitKey() const { return m_nLastChar; }
    bool ExitsOnArrows() const { return m_bExitOnArrows; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Widen();

    CGridModel* m_pGrid;
    int m_nRow;
    int m_nColumn;
    QString m_sInitialText;
    UINT m_nLastChar = 0;
    bool m_bExitOnArrows;
    bool m_bEnded = false;
};
