#pragma once

#include <QDialog>

// The About box: pictures, the program's name and version, the credits and the licence.
class CAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit CAboutBox(QWidget* parent = nullptr);
};
