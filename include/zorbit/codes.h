/* libzorbit: the codes and host-callback types every module and every caller share.
 * Included by zorbit/zorbit.h; internal code includes it alone. */
#ifndef ZORBIT_CODES_H
#define ZORBIT_CODES_H

#include <stdint.h>

#if !defined(__cplusplus)
typedef uint16_t char16_t;
#endif

/* ---- Codes -----------------------------------------------------------------------
 * One vocabulary for every module. Three families, each numbered as the error table
 * describes it: the engine's error codes (GetE_Error, GetE_ErrDescr: table index
 * code + 30), the differentiator's (e_diff: index code + 60) and the matrix algebra's
 * result codes (index code + 1; they never touch the error state). */
enum ZorbitError {
    ZORBIT_NOT_REACHED = -2, /* e_evalsEx: a point past xTo the series never reached */
    ZORBIT_NO_ERROR = -1,
    ZORBIT_E_UNDEFINED = 0, /* exit before completion */
    ZORBIT_E_AMBIGUOUS_FUNCTION = 1,
    ZORBIT_E_EVALUATOR_SYNTAX = 2,
    ZORBIT_E_PARSER_SYNTAX = 3,
    ZORBIT_E_UNDEFINED_FUNCTION = 4,
    ZORBIT_E_RETURNED_VALUE = 5,   /* returned value not defined */
    ZORBIT_E_TOKEN_MATCH = 6,      /* token match / syntax error */
    ZORBIT_E_NOT_FOUND = 7,        /* parameter or element not found */
    ZORBIT_E_DIVISION_BY_ZERO = 8, /* also the differentiator's */
    ZORBIT_E_NOT_INTEGER = 9,
    ZORBIT_E_CONDITION_MATRIX = 10, /* condition or matrix not found */
    ZORBIT_E_WRONG_STRING_MATRIX = 11,
    ZORBIT_E_FEW_ELEMENTS = 12, /* not enough matrix elements */
    ZORBIT_E_INVALID_ARGUMENT = 13,
    ZORBIT_E_MATRIX_NOT_FOUND = 14,
    ZORBIT_E_MATRIX_BY_LONG = 15,
    ZORBIT_E_UNDEFINED_VARIABLE = 16,
    ZORBIT_E_UNDEFINED_CUSTOM_FUNCTION = 17,
    ZORBIT_E_UNDEFINED_CONSTANT = 18,
    ZORBIT_FOUND = 21,               /* FindVarFunct: the name was found */
    ZORBIT_E_UNDEFINED_COMMAND = 25, /* also every code outside the table */
    /* The call was refused and did nothing: it came from inside one of the library's
     * hooks (zorbit.h, "Threads and hooks"). */
    ZORBIT_E_REENTERED = 26
};
enum ZorbitDiffError {
    ZORBIT_D_TOO_LONG_FORMULA = 1,
    ZORBIT_D_ERROR_IN_FORMULA = 6, /* syntax, nesting or size */
    ZORBIT_D_EMPTY_FORMULA = 7
};
enum ZorbitMatrixResult {
    ZORBIT_M_ORDERS_NOT_EQUAL = 4,
    ZORBIT_M_ORDERS_NOT_VALID = 5, /* counts below 1 or above 1,000,000 elements */
    ZORBIT_M_SINGULAR = 7,
    ZORBIT_M_WRONG_RANK = 10,   /* inner dimensions of a product differ */
    ZORBIT_M_OUT_OF_RANGE = 14, /* row or column number */
    ZORBIT_M_NOT_DEFINED = 15   /* a null address */
};

/* ---- Host services ---------------------------------------------------------------
 * Without a handler the title and text go to stderr and defaultAnswer is taken. */
/* Precision modes. Classic, the default, rounds a built-in function's argument and value
 * to single precision and reads variables and constants with 10 decimals; Full keeps
 * every value a whole double. */
enum ZorbitPrecision { ZORBIT_PRECISION_CLASSIC = 0, ZORBIT_PRECISION_FULL = 1 };

/* What e_evalPreview found (zorbit.h). */
typedef struct ZorbitPreview {
    double value;          /* a number's value */
    int32_t rows, cols;    /* a matrix's shape (the matrix itself is not kept) */
    int32_t error;         /* -1 when it evaluated, else the error code (as GetE_Error) */
    int32_t errorPos;      /* a failure's offset in the text, as GetE_ErrorPos; -1 unknown */
    int32_t cutOff;        /* 1 when the work ran out (error 0), else 0 */
    char16_t message[160]; /* a failure's description, cut to fit, zero-terminated */
} ZorbitPreview;

enum ZorbitMessageBoxStyle {
    ZORBIT_MB_OK = 0,
    ZORBIT_MB_YESNO = 4,
    ZORBIT_MB_ICONWARNING = 0x30 /* added to either */
};
enum ZorbitMessageBoxAnswer { ZORBIT_ID_OK = 1, ZORBIT_ID_YES = 6, ZORBIT_ID_NO = 7 };
/* style: ZORBIT_MB_*; returns a ZORBIT_ID_* answer. */
typedef int32_t (*ZorbitMessageBoxFn)(const char16_t* title, const char16_t* text, int32_t style,
                                      int32_t defaultAnswer);
/* One line for the messages window; position as WriteMessage's option. */
typedef void (*ZorbitMessageWindowFn)(const char16_t* line, int32_t position);
/* Puts text on the clipboard; returns 0 when there is none. */
typedef int32_t (*ZorbitClipboardFn)(const char16_t* text);

#endif
