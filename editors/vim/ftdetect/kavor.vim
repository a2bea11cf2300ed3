" Kavor programs end in .kv. Vim's own detection already calls such files Kivy, so the
" file type is set outright rather than with :setfiletype, which would keep that guess.
autocmd BufRead,BufNewFile *.kv set filetype=kavor
