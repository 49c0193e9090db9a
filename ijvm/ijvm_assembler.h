#pragma once

#include "core/list.h"
#include "core/memory.h"
#include "core/reader/file_reader.h"
#include "ijvm/code_address_map.h"
#include "ijvm/instruction_set.h"
#include "ijvm/records.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tessaro {

/// Assembles one IJVM source file into a method area, a constant pool, two address maps and
/// the tables of methods, constants and errors. Errors never stop it: they are collected in
/// errors, each with an Italian message and the span of source bytes concerned.
class IjvmAssembler {
public:
    ByteImage methodArea;       ///< the method area bytes
    ByteImage constantPool;     ///< constant values, then method entry addresses; 4 bytes a word
    int methodCount = 0;        ///< methods accepted so far; the next method's number
    int codeOffset = 0;         ///< instruction bytes recorded so far over all methods
    CodeAddressMap sourceMap;   ///< method-area address -> source offset of its instruction
    CodeAddressMap methodMap;   ///< method-area address -> pool index of its method
    List<Method> methods;       ///< methods in the order accepted
    List<Symbol> constants;     ///< constants in declaration order
    List<AssemblyError> errors; ///< errors in the order found
    FileReader reader;          ///< the source reader and its current token

    /// Builds the empty tables, for compileText.
    IjvmAssembler() = default;
    /// Builds the empty tables on a source file; the file is opened by compile().
    explicit IjvmAssembler(const std::string& fileName);
    IjvmAssembler(const IjvmAssembler&) = delete;
    IjvmAssembler& operator=(const IjvmAssembler&) = delete;

    /// The instructions the source may use, from now on; the built-in set until then. The set
    /// must outlive the assembler.
    void setInstructionSet(const InstructionSet& set) { m_instructions = &set; }
    const InstructionSet& instructionSet() const { return *m_instructions; }

    /// Declaration pass, then encoding pass. A file that cannot be opened ends the process.
    void compile();
    /// The same on a source text in memory: nothing is read from or written to a file.
    void compileText(std::string source);
    /// The source assembled last, up to its end or a byte 0xFF (the offsets in sourceMap and
    /// in the errors count bytes of it).
    const std::string& source() const { return m_source; }

    /// After ".constant": reads the section into constants.
    void parseConstants();
    /// After ".method": reads the header, the variable block and the body.
    void parseMethod();
    /// After ".main": as parseMethod, for the main section.
    void parseMain();
    /// After ".var": reads the variables up to ".end-var" (indexes continue from counter);
    /// false when the block has no ".end-var" before ".var", closer or the end of the file.
    /// What follows a method's or main's header: the optional variable block, the body up to
    /// closer, and the method's entry into the table.
    void parseSectionRest(Method& method, const std::string& closer);
    bool parseVariables(Method& method, const std::string& closer, int& counter);
    /// Records the instruction whose first token (perhaps a label) is the current token;
    /// false when the line is refused (nothing recorded). A label is filed into the method's
    /// labels when its body ends.
    bool parseIstruction(Method& method);
    /// Appends the bytes of one recorded instruction of method to methodArea; records
    /// errors for undeclared names and bad numbers.
    void encode(const Method& method, const InstructionRecord& record);

    /// Appends the error of the given code, over the token its code names (the current or the
    /// last one; none for the other codes). firstName is the method's name (code 1: the
    /// constant's), secondName the name concerned, number the instruction count (code 4).
    void addError(int code, const std::string& firstName, const std::string& secondName = {},
                  int number = 0);
    /// Appends the error of a code whose span the caller knows.
    void addErrorAt(int position, int length, int code, const std::string& firstName,
                    const std::string& secondName = {});

    /// Appends an error with a ready message and span (message cut to 99 bytes).
    void addMessage(const std::string& message, int position, int length);

private:
    bool next();
    int currentTokenLength() const;
    bool readHeader(Method& method);
    void parseBody(Method& method, const std::string& closer);
    void finishMethod(Method& method);
    void encodeImage();
    std::int32_t number(const std::string& text, int position);
    const Symbol* findVariable(const Method& method, const std::string& name);
    const Symbol* findLabel(const Method& method, const std::string& name);
    const Symbol* findConstant(const std::string& name);
    const Method* findMethod(const std::string& name);
    void indexMethod(const Method& method);

    const InstructionSet* m_instructions = &builtinInstructionSet();

    void assembleSource();

    std::string m_source;   // the file's bytes up to its end (or a 0xFF byte)
    bool m_atEnd = false;   // the last read met the end of the file
    int m_lastTokenPos = 0; // span of the last token delivered, for the missing main
    int m_lastTokenLength = 0;
    // Labels of the body being read: sorted into the method's list once, at its end, since a
    // sorted insert per label would cost a walk of the list each.
    std::vector<Symbol> m_labels;
    std::unordered_set<std::string> m_labelNames;
    // Methods whose header was refused: their calls are no further error.
    std::unordered_set<std::string> m_droppedMethods;
    // Name indexes of the encoding pass; keys are cut like the operands that look them up.
    std::unordered_map<std::string, const Symbol*> m_constantIndex;
    std::unordered_map<std::string, const Method*> m_methodIndex;
    std::unordered_map<std::string, const Symbol*> m_labelIndex;
    std::unordered_map<std::string, const Symbol*> m_variableIndex;
    const Method* m_indexedMethod = nullptr;
};

} // namespace tessaro
