#pragma once
// The about box: one picture and an OK button. One instance at a time; OK
// and the close box destroy it. It never touches the console.

#include <QDialog>
#include <QImage>

class QPushButton;

namespace qm
{

class frmAbout final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 299;
    static constexpr int ClientHeight = 273;

    explicit frmAbout(QWidget *parent = nullptr);

    // The committed 300 x 300 picture with the version line written in.
    static QImage Artwork();
    const QImage &picture() const { return picture_; }

    QPushButton *cmdOK = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;
    // Escape closes like OK; a close is never turned into a reject.
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    QImage picture_;
};

} // namespace qm
