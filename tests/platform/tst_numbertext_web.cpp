// The table of number texts against the browser's formatting: the layer's numbertext.cpp built
// with emscripten, without Qt, and run by node. Exits 1, naming each wrong text, where one is.
#include "numbertext.h"
#include "numbertexts.h"

#include <cstdio>
#include <iterator>
#include <string>

#ifndef __EMSCRIPTEN__
#error "the browser's formatting is tested only in a build with emscripten"
#endif

int main()
{
    int wrong = 0;
    for (const numbertexts::Row &row : numbertexts::Rows)
        if (const std::string text = platform::Str(row.value); text != row.text) {
            std::printf("FAIL %s: %s, not %s\n", row.name, text.c_str(), row.text);
            ++wrong;
        }
    std::printf("%d of %zu number texts wrong\n", wrong, std::size(numbertexts::Rows));
    return wrong == 0 ? 0 : 1;
}
