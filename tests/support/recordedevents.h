#pragma once
// What a toolkit's view tells the console and its dialogs, each event as a line ("click cmdAbout",
// "focus txtStored>-"), for the edges' tests.

#include "console/face.h"
#include "console/views.h"

#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace qm::test
{

using Said = std::vector<std::string>;

template <typename Id>
std::string NameOf(const FormFace<Id> &face, std::type_identity_t<std::optional<Id>> c)
{
    return c ? std::string(face[*c].name) : "-";
}

struct RecordedEvents final : ConsoleEvents {
    void listClicked(ConsoleControl c) override
    {
        said.push_back("list " + NameOf(ConsoleFace, c));
    }
    void focusMoved(std::optional<ConsoleControl> from, std::optional<ConsoleControl> to) override
    {
        said.push_back("focus " + NameOf(ConsoleFace, from) + ">" + NameOf(ConsoleFace, to));
    }
    void textChanged(ConsoleControl c) override
    {
        said.push_back("text " + NameOf(ConsoleFace, c));
    }
    void clicked(ConsoleControl c) override { said.push_back("click " + NameOf(ConsoleFace, c)); }
    void menuChosen(MenuCommand c) override { said.push_back("menu " + std::to_string(int(c))); }
    void trayNotification(int code) override { said.push_back("tray " + std::to_string(code)); }
    void closeBox() override { said.push_back("close box"); }
    void systemClose() override { said.push_back("system close"); }
    Said said;
};

template <typename Id, typename Events = DialogEvents<Id>> struct RecordedDialog : Events {
    explicit RecordedDialog(const FormFace<Id> &f) : face(f) {}
    void clicked(Id button) override { said.push_back("click " + NameOf(face, button)); }
    void escape() override { said.push_back("escape"); }
    void closeBox() override { said.push_back("close box"); }
    const FormFace<Id> &face;
    Said said;
};

struct RecordedChangePath final : RecordedDialog<ChangePathControl, ChangePathEvents> {
    RecordedChangePath() : RecordedDialog(ChangePathFace) {}
    void driveChanged() override { said.push_back("drive"); }
};

} // namespace qm::test
