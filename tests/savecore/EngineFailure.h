// What the error chain recorded for a call that must fail through it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/fs/RtError.h"
#include "tarnwicklib/ErrorHandler.h"

namespace savecore::test {

struct EngineFailure {
    int32_t lngNumber = 0;
    std::string strDesc;
    std::vector<std::string> astrRoutines;
};

// Runs fnCall, which must fail through the chain, and returns what the chain
// recorded; the chain is emptied.
template <class Fn>
EngineFailure objFailureOf(tarnwick::ErrorHandler& objHandler, Fn fnCall) {
    EngineFailure objFailure;
    try {
        fnCall();
        ADD_FAILURE() << "the call did not fail";
    } catch (const platform::RtError& e) {
        objFailure.lngNumber = e.Number();
    }
    objFailure.strDesc = objHandler.strErrorDesc();
    objFailure.astrRoutines = objHandler.astrRoutines();
    objHandler.ClearErrors();
    return objFailure;
}

}  // namespace savecore::test
