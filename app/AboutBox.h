#pragma once

#include <QDialog>

// The About box: pictures, the program's name and version, and the credits.
class CAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit CAboutBox(QWidget* parent = nullptr);
};
