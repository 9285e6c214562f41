// kuhnemer: the program. Everything it does lives in the libraries; this only starts it.
#include "app/ui/Application.h"

int main(int argc, char* argv[])
{
    return runApplication(argc, argv);
}
