" Vim syntax file
" Language:    Kavor
" Filenames:   *.kv
"
" Install: copy this file to ~/.vim/syntax/ and ../ftdetect/kavor.vim to ~/.vim/ftdetect/
" (`make install` puts both under $(PREFIX)/share/vim/vimfiles).

if exists("b:current_syntax")
  finish
endif
let s:cpo_save = &cpo
set cpo&vim

syn case match

" Comments. '# ' (or a tab), '##' and a '#' at the end of a line start a line comment;
" '#( ... )#' is a block comment that nests; '#!' on the first line is ignored. A '#'
" followed by anything else is not a comment.
syn keyword kavorTodo         contained TODO FIXME XXX NOTE
syn match   kavorLineComment  "#\%([ \t#]\|$\).*$" contains=kavorTodo,@Spell
syn match   kavorShebang      "\%^#!.*$"
syn region  kavorBlockComment start="#(" end=")#" contains=kavorBlockComment,kavorTodo,@Spell

" Strings and character constants, with their escapes; a backslash at the end of a line
" continues the literal on the next one.
syn match   kavorEscape       contained "\\\%([tfvn0arb'"\\]\|$\)"
syn match   kavorEscapeError  contained "\\[^tfvn0arb'"\\]"
syn region  kavorString       start=+"+ skip=+\\\\\|\\"+ end=+"+ contains=kavorEscape,kavorEscapeError,@Spell
syn region  kavorCharacter    start=+'+ skip=+\\\\\|\\'+ end=+'+ contains=kavorEscape,kavorEscapeError

" Numbers: digits, an optional fraction and an optional exponent (1, 2.5, 1e-3).
syn match   kavorNumber       "\<\d\+\%(\.\d\+\)\=\%([eE][+-]\=\d\+\)\="

" Words of the language.
syn keyword kavorDefinition   proc func bigtype smalltype need
syn keyword kavorBoolean      true false
syn keyword kavorThis         this
syn keyword kavorControl      if while for switch case break continue return throw catch exit assert
syn keyword kavorType         any any2 args array array2 bool char code date datetime dir error file
syn keyword kavorType         graph hash int list oper real set str sys time timezone
syn keyword kavorBuiltin      out outl pout sout soutl fout foutl fsout fsoutl
syn keyword kavorBuiltin      set_out_spc get_out_spc set_out_fmt get_out_fmt
syn keyword kavorBuiltin      in pin sin inw inc inl set_in_spc get_in_spc
syn keyword kavorBuiltin      del clear def empty ref alias count min max sum prod and or
syn keyword kavorBuiltin      argc argv get_env get_cwd set_cwd system
syn keyword kavorBuiltin      get_calctime set_calctime get_realtime set_realtime

" Operators: every operator character, and '::' of module names.
syn match   kavorOperator     "::\|[-!$%&*+,./:;<=>?@^|~]"

" A name after '.' is a method or member, whatever else it may name: 'n.real()' converts,
" 'l.for(x, ...)' iterates. The match takes the dot along: one that starts there wins over
" a keyword starting at the name, and being defined after the operators it wins over the
" dot as an operator.
syn match   kavorMember       "\.\h\w*" contains=kavorMemberDot
syn match   kavorMemberDot    contained "\."

hi def link kavorTodo         Todo
hi def link kavorLineComment  Comment
hi def link kavorShebang      PreProc
hi def link kavorBlockComment Comment
hi def link kavorEscape       SpecialChar
hi def link kavorEscapeError  Error
hi def link kavorString       String
hi def link kavorCharacter    Character
hi def link kavorNumber       Number
hi def link kavorDefinition   Keyword
hi def link kavorBoolean      Boolean
hi def link kavorThis         Special
hi def link kavorControl      Conditional
hi def link kavorType         Type
hi def link kavorBuiltin      Function
hi def link kavorMember       Identifier
hi def link kavorMemberDot    Operator
hi def link kavorOperator     Operator

let b:current_syntax = "kavor"
let &cpo = s:cpo_save
unlet s:cpo_save
