#pragma once

#include "assets/assetbox.h"

class QCheckBox;
class QLineEdit;

namespace mb {

// The object editor: ten states of thirty frames with two images each, the object's size (with
// the offsets pulled into a smaller box) and the "Lighten Object" flag.
class Tobjbox : public AssetBox
{
    Q_OBJECT
public:
    Tobjbox(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
            Tskriptzeile *scriptLine, QWidget *parent = nullptr);
    QLineEdit *widthEdit() const { return m_width; }
    QLineEdit *heightEdit() const { return m_height; }
    QCheckBox *effectBox() const { return m_effect; }
    // Stores the two size fields (as leaving a field or Enter does).
    void sizeEntered();

protected:
    void showFields() override;
    void fieldsEnabled(bool on) override;

private:
    QLineEdit *m_width, *m_height;
    QCheckBox *m_effect;
};

} // namespace mb
