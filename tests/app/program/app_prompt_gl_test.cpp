// The disk buttons' file-name prompt, clicked with xdotool in the running
// program: a quit signal while it waits cancels it and ends all in order.
#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <string>

#include "window_session.h"

TEST(AppPrompt, QuitSignalAtTheOpenPromptCancelsItAndEndsInOrder) {
  const std::string prompt = "Entrez le nom du fichier svp : ";
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
    window_test::session zem("41");
    const window_test::widget save = zem.dump()["BUTTON_DISK_SAVE_1"];
    zem.xdotool("mousemove " + std::to_string(save.x) + " " + std::to_string(save.y) + " click 1");
    ASSERT_TRUE(zem.wait_for_output(prompt, 0, 20)) << zem.output();
    kill(zem.pid(), signal);
    const zem_test::run_result result = zem.finish(20);
    EXPECT_EQ(result.exit_code, 0) << signal;
    EXPECT_NE(result.out.find(prompt + "\ncancelled: the program is quitting\n"), std::string::npos)
        << result.out;
    EXPECT_TRUE(std::regex_search(result.out, std::regex("\nLate audio blocks: [0-9]+\n$")));
    for (const std::string& name : zem.folder().entries()) EXPECT_EQ(name.find(".sta"), name.npos);
  }
}
