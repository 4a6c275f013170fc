// A host program built against the installed package.
#include <QVToolbox/QVToolbox.h>

#include <iostream>

int main() {
    using namespace QVToolbox;
    std::cout << "consumer: toClock(3725) = " << qv(3725.0).toClock(false) << "\n";
    return qv(3725.0).toClock(false) == "01:02:05" ? 0 : 1;
}
