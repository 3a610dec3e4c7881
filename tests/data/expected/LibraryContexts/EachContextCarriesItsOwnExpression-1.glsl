    Output = #Input;
    