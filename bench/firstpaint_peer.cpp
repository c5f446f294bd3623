// The start-up benchmark's peer: a minimal widgets program in a binary of its
// own, so that it carries nothing of the project. It shows a window of the
// main window's size and writes the file named by its argument on the event
// loop's first turn after that window's first paint, as the program reports
// its own.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <fstream>
#include <string>

namespace {
class TFirstPaintWindow : public QWidget {
public:
    explicit TFirstPaintWindow(std::string File) : FFile(std::move(File)) { resize(1006, 700); }

protected:
    void paintEvent(QPaintEvent*) override {
        if (FDone) return;
        FDone = true;
        QTimer::singleShot(0, this, [this] {
            std::ofstream(FFile + ".part") << "painted\n";
            std::rename((FFile + ".part").c_str(), FFile.c_str());
        });
    }

private:
    std::string FFile;
    bool FDone = false;
};
} // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    QApplication app(argc, argv);
    TFirstPaintWindow window(argv[1]);
    window.setWindowTitle("QM read out");
    window.show();
    return app.exec();
}
