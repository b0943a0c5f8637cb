#include <iostream>

int main() {
    std::cout << "Quillo\n";
    return 0;
}
