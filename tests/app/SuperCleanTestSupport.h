#pragma once

#include "FixtureTree.h"
#include "app/SuperCleanCoordinator.h"

#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarnwick::testing {

// A JavaScript project with an installed dependency folder last touched `days` ago: recommended
// from 30 days on.
inline void javaScriptProject(FixtureTree &tree, const std::string &name, int days = 60)
{
    tree.file(name + "/package.json");
    tree.file(name + "/node_modules/dep/index.js", 5000);
    tree.age(name + "/node_modules", days);
}

inline void scanAndWait(SuperCleanCoordinator &coordinator)
{
    coordinator.startScan();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coordinator.isBusy(); }, 20000));
}

inline void cleanAndWait(SuperCleanCoordinator &coordinator)
{
    coordinator.cleanSelected();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !coordinator.isBusy(); }, 20000));
}

// Leaves exactly the items at these paths selected.
inline void selectOnly(SuperCleanCoordinator &coordinator, const std::vector<std::string> &paths)
{
    for (const auto &item : coordinator.items()) {
        coordinator.setItem(item.id, std::find(paths.begin(), paths.end(), item.candidate.path) != paths.end());
    }
}

}  // namespace tarnwick::testing
