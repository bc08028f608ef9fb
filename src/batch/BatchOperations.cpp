#include "batch/BatchOperations.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

#include "filters/Operations.h"
#include "filters/TextureList.h"
#include "image/PaintSettings.h"

namespace {

// A decimal integer with an optional sign and nothing else.
bool ParseInteger(std::string_view text, int& value) {
    if (text.empty() || text.size() > 12) return false;
    std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size()) return false;
    for (std::size_t k = i; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9') return false;
    }
    const std::string copy(text);
    errno = 0;
    const long number = std::strtol(copy.c_str(), nullptr, 10);
    if (errno != 0 || number < INT_MIN || number > INT_MAX) return false;
    value = static_cast<int>(number);
    return true;
}

std::string RangeError(const Operation& op, const OperationValue& p, int value, const std::string& low,
                       const std::string& high) {
    return std::string(op.batchName) + ": " + p.label + " " + std::to_string(value) + " is outside " + low + " ... " +
           high;
}

// "Red|Green" as "0 Red, 1 Green".
std::string NumberedItems(const char* items) {
    std::string text = "0 ";
    int index = 0;
    for (const char* c = items; *c; ++c) {
        if (*c == '|') {
            text += ", " + std::to_string(++index) + " ";
        } else {
            text += *c;
        }
    }
    return text;
}

std::string InitialText(const Bound& bound) {
    switch (bound.kind) {
        case BoundKind::TargetWidth: return "the image's width";
        case BoundKind::TargetHeight: return "the image's height";
        default: return BoundText(bound);
    }
}

}  // namespace

std::string BoundText(const Bound& bound) {
    switch (bound.kind) {
        case BoundKind::Number: return std::to_string(bound.number);
        case BoundKind::TargetWidth: return bound.number < 0 ? "-width" : "width";
        case BoundKind::TargetHeight: return bound.number < 0 ? "-height" : "height";
        case BoundKind::LastTexture: return "last texture";
        case BoundKind::GradientStyle: return std::to_string(PaintSettings.Gradient);
    }
    return std::string();
}

bool ParseBatchStep(const std::string& text, BatchStep& step, std::string& error) {
    const std::size_t equals = text.find('=');
    const std::string name = text.substr(0, equals);
    step = BatchStep{};
    step.operation = OperationByBatchName(name);
    if (!step.operation) {
        error = "unknown operation \"" + name + "\" (--list shows them all)";
        return false;
    }
    if (equals == std::string::npos) return true;
    const std::string_view values = std::string_view(text).substr(equals + 1);
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = values.find(',', start);
        const std::string_view item = values.substr(start, comma == std::string_view::npos ? comma : comma - start);
        int value = 0;
        if (!ParseInteger(item, value)) {
            error = name + ": \"" + std::string(item) + "\" is not a whole number";
            return false;
        }
        step.given.push_back(value);
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    const std::size_t room = step.operation->values.size();
    if (step.given.size() > room) {
        error = name + " takes " + (room == 0 ? std::string("no values") : "at most " + std::to_string(room)) +
                ", not " + std::to_string(step.given.size());
        return false;
    }
    return true;
}

bool CheckFixedRanges(const BatchStep& step, std::string& error) {
    const Operation& op = *step.operation;
    for (std::size_t i = 0; i < step.given.size(); ++i) {
        const OperationValue& p = op.values[i];
        const int v = step.given[i];
        const bool below = p.minimum.kind == BoundKind::Number && v < p.minimum.number;
        const bool above = p.maximum.kind == BoundKind::Number && v > p.maximum.number;
        if (below || above) {
            error = RangeError(op, p, v, BoundText(p.minimum), BoundText(p.maximum));
            return false;
        }
    }
    return true;
}

bool ResolveBatchValues(const BatchStep& step, std::vector<int>& values, std::string& error) {
    const Operation& op = *step.operation;
    const BoundInputs inputs = CurrentBoundInputs(PaintSettings.Gradient);
    values.clear();
    for (std::size_t i = 0; i < op.values.size(); ++i) {
        const OperationValue& p = op.values[i];
        const int low = BoundValue(p.minimum, inputs);
        const int high = BoundValue(p.maximum, inputs);
        if (high < low) {
            error = std::string(op.batchName) + ": there is no " + p.label + " to choose" +
                    (p.maximum.kind == BoundKind::LastTexture ? " in " + TextureFolder() : std::string());
            return false;
        }
        const int v = i < step.given.size() ? step.given[i] : BoundValue(p.initial, inputs);
        if (v < low || v > high) {
            error = RangeError(op, p, v, std::to_string(low), std::to_string(high));
            return false;
        }
        values.push_back(v);
    }
    return true;
}

bool RunBatchStep(const Operation& operation, const std::vector<int>& values, std::string& error) {
    return operation.run(ArgumentsOf(operation, values), error);
}

std::string BatchOperationList() {
    std::string text = "pixelwright-batch [--time] INPUT OUTPUT [OPERATION ...]\n"
                       "OPERATION is NAME or NAME=V1,V2,...: the values in the order below; missing ones take the\n"
                       "initial value. OUTPUT ends in .bmp, .jpg or .png. --time prints each operation's time.\n\n";
    for (const Operation& op : Operations()) {
        text += op.batchName;
        text += '\n';
        for (const OperationValue& p : op.values) {
            text += std::string("  ") + p.label + ": " + BoundText(p.minimum) + " ... " + BoundText(p.maximum) +
                    ", initial " + InitialText(p.initial);
            if (p.items) text += " (" + NumberedItems(p.items) + ")";
            if (p.maximum.kind == BoundKind::LastTexture) {
                const std::string names = TextureListText();
                text += " (" + (names.empty() ? std::string("none") : names) + " in " + TextureFolder() + ")";
            }
            text += '\n';
        }
    }
    return text;
}
