#include "app/AboutBox.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("About Quorvale"));
    setObjectName("aboutBox");
    auto* pictureLeft = new QLabel(this);
    pictureLeft->setPixmap(QPixmap(":/about/biomorph.png"));
    auto* pictureRight = new QLabel(this);
    pictureRight->setPixmap(QPixmap(":/about/logo.png"));

    auto* name = new QLabel(tr("<b>Quorvale</b>"), this);
    name->setObjectName("aboutName");
    auto* version = new QLabel(tr("Version 2.0b"), this);
    version->setObjectName("aboutVersion");
    auto* copyright = new QLabel(tr("Copyright \u00A9 2026 the Quorvale developers"), this);

    auto* credits = new QFrame(this);
    credits->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* creditsLayout = new QVBoxLayout(credits);
    creditsLayout->addWidget(new QLabel(
        tr("Evolution by artificial selection, for the classroom and the curious."), credits));
    creditsLayout->addWidget(new QLabel(tr("Made with care by the Quorvale developers."), credits));
    creditsLayout->addWidget(new QLabel(
        tr("Ideas and reports are welcome through the project's issue tracker."), credits));

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addWidget(copyright);
    text->addWidget(credits);

    auto* row = new QHBoxLayout(this);
    row->addWidget(pictureLeft, 0, Qt::AlignTop);
    row->addLayout(text, 1);
    row->addWidget(pictureRight, 0, Qt::AlignTop);
    // No buttons: Esc or the close box closes it.
}
