#pragma once
// The recording list pane on a hub of the test's own, with the real skin: a
// journal listener after the pane shows what the pane posted, and a gate
// can hold the worker while the UI thread acts.

#include "controls/SkinSupport.h"
#include "support/hub/HubFixtures.h"
#include "support/EventLoop.h"
#include "ui/VideoListControl.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace listtest {

using namespace std::chrono_literals;

// The main window's part in a playlist step: code 10 moves the hub's index.
class IndexKeeper : public IListener {
public:
    explicit IndexKeeper(ApplicationHub& hub) : hub(hub) {}
    void update(int code, const MessageParam* payload) override;

private:
    ApplicationHub& hub;
};

class ListPaneTest : public ::testing::Test {
protected:
    ListPaneTest();
    ~ListPaneTest() override;

    // The playlist, then code 1 and a 16 for index 0, as a load delivers them.
    void Load(ApplicationHub::Entries entries);
    // Posts code and waits until the pane has handled it.
    void Deliver(int code, std::unique_ptr<MessageParam> payload = {});
    // Every delivery of code the journal has seen after the pane.
    std::vector<hubtest::Delivery> Seen(int code);

    // Rows as "number type" texts.
    QStringList Rows() const;
    int PlayingNumber() const;
    bool Checked(FilterButton button) const;
    bool Enabled(FilterButton button) const;

    static bool Eventually(const std::function<bool()>& done, std::chrono::milliseconds limit = 5s)
    {
        return testsupport::RunUntil(done, limit);
    }

    controlstest::ScopedSkinModule skin;
    hubtest::EntryFactory entries;
    hubtest::Journal journal;
    std::unique_ptr<ApplicationHub> hub;
    IndexKeeper keeper{*hub};
    QWidget window;
    std::unique_ptr<VideoListControl> pane;
    hubtest::RecordingListener tail{"tail", journal};
};

}  // namespace listtest
