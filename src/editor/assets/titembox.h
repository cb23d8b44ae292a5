#pragma once

#include "assets/assetbox.h"

class QPushButton;

namespace mb {

// The item editor: ten states of twenty-five frames with one image each, a 50 x 50 preview and
// "Edit Script", which shows the item's script in the script editor.
class Titembox : public AssetBox
{
    Q_OBJECT
public:
    Titembox(TForm1 &form, ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
             Tskriptzeile *scriptLine, QWidget *parent = nullptr);
    QPushButton *scriptButton() const { return m_script; }

protected:
    void fieldsEnabled(bool on) override;

private:
    QPushButton *m_script;
};

} // namespace mb
