#pragma once
// Actions that could hang, run where a hang fails the test instead of holding it: the whole case
// in a child process of its own, each action in it under an alarm that ends the child when the
// action has not returned in time.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

namespace vt::test {

// Runs one action of a case run by inchild(), ending the child when it takes over `seconds`.
inline void bounded(const std::function<void()>& action, unsigned seconds = 5) {
    ::alarm(seconds);
    action();
    ::alarm(0);
}

// Runs `body` in a child process: success when it ended within `limit` (after every bounded
// action of it returned in time) with no test failure of its own. The child's failures are
// printed by the child.
inline ::testing::AssertionResult inchild(const std::function<void()>& body,
                                          std::chrono::seconds limit = std::chrono::seconds(60)) {
    const bool failedbefore = ::testing::Test::HasFailure();
    std::fflush(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) return ::testing::AssertionFailure() << "no child process";
    if (pid == 0) {
        bool ok = false;
        try {
            body();
            ok = failedbefore || !::testing::Test::HasFailure();
        } catch (...) {
        }
        std::fflush(nullptr);
        ::_exit(ok ? 0 : 1);
    }
    auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) != pid) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return ::testing::AssertionFailure() << "the case did not end in time";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM)
        return ::testing::AssertionFailure() << "an action did not return in time";
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return ::testing::AssertionFailure() << "the case failed in its child process";
    return ::testing::AssertionSuccess();
}

}  // namespace vt::test
