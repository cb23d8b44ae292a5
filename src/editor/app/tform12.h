#pragma once

#include <QDialog>

namespace mb {

class MessageCatalog;

// The about window: the program's name and version. Modal over the main window.
class TForm12 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm12(const MessageCatalog &catalog, QWidget *parent = nullptr);
};

} // namespace mb
