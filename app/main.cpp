// The program's entry: the application object theApp runs in the framework's start-up.
#include "app/VeltrixApp.h"

int main(int argc, char** argv)
{
    return AfxWinMain(argc, argv);
}
