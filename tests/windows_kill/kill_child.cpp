// The child of the Windows kill test: saves one file over and over, alternating between its
// two versions, until the parent terminates it.
//   kill_child properties|object FILE
// Creates FILE.ready after the first save, so the parent knows the file exists.
#include <cstdio>
#include <string>

#include "kill_models.h"
#include "platform/files.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const std::string mode = argv[1];
    const std::string file = argv[2];
    for (long round = 0;; ++round) {
        const int version = static_cast<int>(round % 2);
        bool saved = false;
        if (mode == "properties") {
            tarvosk::QN_Properties properties(file, nullptr);
            tarvosk::killtest::FillProperties(properties, version);
            saved = properties.Save();
        } else if (mode == "object") {
            saved = tarvosk::writeObj8(file, tarvosk::killtest::ObjectVersion(version));
        } else {
            return 2;
        }
        if (!saved) return 3;
        if (round == 0) {
            std::FILE* ready = tarvosk::platform::OpenFile(file + ".ready", "wb");
            if (ready == nullptr) return 4;
            std::fclose(ready);
        }
    }
}
