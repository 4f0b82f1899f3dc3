#pragma once
// frmAbout on Qt: the picture, the version line written into it, and OK.

#include "qt/dialogs/dialogwindow.h"

namespace qm
{

class QtAboutView final : public QtDialogView<AboutControl>
{
public:
    explicit QtAboutView(AboutEvents &events);

    // The committed 300 x 300 picture with the version line written in.
    static QImage Artwork();
};

} // namespace qm
