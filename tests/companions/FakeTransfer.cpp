// A stand-in wizard for the tests: sends every command once, and one with a wrong signature.
#include <initializer_list>

using Command = void (*)(void*, int, long);

extern "C" __attribute__((visibility("default"))) void ShowWizard(void*, Command command, void* context) {
    for (int code : {200101, 200102, 200103, 200104, 200105, 200199})
        command(context, code, 0x6B2F4D17);
    command(context, 200101, 0x12345678);
}
