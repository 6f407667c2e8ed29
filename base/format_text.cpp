// Bounded text formatting.
#include "base/format_text.h"

#include <stdarg.h>

namespace {

// Where the text goes: characters beyond the room are counted, not written.
struct Output {
  char* out;
  size_t size;
  size_t length;
};

void Put(Output* output, char c) {
  if (output->length + 1 < output->size) output->out[output->length] = c;
  ++output->length;
}

void PutPadded(Output* output, const char* text, size_t count, size_t width, char pad) {
  for (; width > count; --width) Put(output, pad);
  for (size_t i = 0; i < count; ++i) Put(output, text[i]);
}

// Reads a run of decimal digits at *format, or an int argument for '*'.
int TakeNumber(const char** format, va_list* args) {
  if (**format == '*') {
    ++*format;
    return va_arg(*args, int);
  }
  int number = 0;
  for (; **format >= '0' && **format <= '9'; ++*format) number = number * 10 + (**format - '0');
  return number;
}

// The length of `text`, reading no more than `limit` characters of it.
size_t BoundedLength(const char* text, size_t limit) {
  size_t length = 0;
  while (length < limit && text[length] != '\0') ++length;
  return length;
}

// The digits of `value` in `base`, written backwards ending at `end`; returns the first.
char* Digits(unsigned long value, unsigned base, const char* digitChars, char* end) {
  do {
    *--end = digitChars[value % base];
    value /= base;
  } while (value != 0);
  return end;
}

// One numeric conversion. A zero pad goes between the sign and the digits.
void PutNumber(Output* output, char conversion, bool isLong, size_t width, char pad,
               va_list* args) {
  unsigned long magnitude = 0;
  bool negative = false;
  if (conversion == 'd') {
    const long value = isLong ? va_arg(*args, long) : va_arg(*args, int);
    negative = value < 0;
    magnitude = static_cast<unsigned long>(value);
    if (negative) magnitude = 0UL - magnitude;
  } else {
    magnitude = isLong ? va_arg(*args, unsigned long) : va_arg(*args, unsigned);
  }
  const bool decimal = conversion == 'd' || conversion == 'u';
  const char* digitChars = conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
  char buffer[3 * sizeof(unsigned long) + 1];
  char* const end = buffer + sizeof buffer;
  char* digits = Digits(magnitude, decimal ? 10 : 16, digitChars, end);
  if (negative && pad == '0') {
    Put(output, '-');
    if (width > 0) --width;
  } else if (negative) {
    *--digits = '-';
  }
  PutPadded(output, digits, static_cast<size_t>(end - digits), width, pad);
}

// One conversion, `format` just past its '%'; returns the position after it.
const char* PutConversion(Output* output, const char* format, va_list* args) {
  const char pad = *format == '0' ? '0' : ' ';
  const int widthTaken = TakeNumber(&format, args);
  const size_t width = widthTaken < 0 ? 0 : static_cast<size_t>(widthTaken);
  int precision = -1;
  if (*format == '.') {
    ++format;
    precision = TakeNumber(&format, args);
  }
  const bool isLong = *format == 'l';
  if (isLong) ++format;
  const char conversion = *format;
  if (conversion == 's') {
    const char* text = va_arg(*args, const char*);
    if (text == nullptr) text = "";
    const size_t limit = precision < 0 ? static_cast<size_t>(-1) : static_cast<size_t>(precision);
    PutPadded(output, text, BoundedLength(text, limit), width, ' ');
  } else if (conversion == 'c') {
    const char c = static_cast<char>(va_arg(*args, int));
    PutPadded(output, &c, 1, width, ' ');
  } else if (conversion == 'd' || conversion == 'u' || conversion == 'x' || conversion == 'X') {
    PutNumber(output, conversion, isLong, width, pad, args);
  } else if (conversion != '\0') {
    Put(output, conversion);
  } else {
    return format;  // a '%' that ends the format
  }
  return format + 1;
}

}  // namespace

int FormatText(char* out, size_t size, const char* format, ...) {
  Output output = {out, size, 0};
  va_list args;
  va_start(args, format);
  while (*format != '\0') {
    if (*format != '%') {
      Put(&output, *format++);
    } else {
      format = PutConversion(&output, format + 1, &args);
    }
  }
  va_end(args);
  if (size > 0) out[output.length < size ? output.length : size - 1] = '\0';
  return static_cast<int>(output.length);
}
